#pragma once

// Whether the time axis follows the newest points, and how much recent time
// it then shows. The scroll is worked out once per drawing, not once per
// point: recomputing the scale for every appended point would cost more
// than storing it.
class ChartFollow
{
public:
    static constexpr double DefaultWindow = 10.0 / (24 * 60); // ten minutes, in days

    bool isFollowing() const { return m_following; }
    double window() const { return m_window; }
    void setWindow(double days)
    {
        m_window = days;
        m_pending = m_following;
    }

    void start() { m_following = m_pending = true; }
    void stop() { m_following = m_pending = false; }

    // A point arrived at x; newest is the newest X stored now.
    void pointAdded(double x, double newest)
    {
        if (m_following && x >= newest)
            m_pending = true;
    }
    bool scrollPending() const { return m_following && m_pending; }
    void scrolled() { m_pending = false; }

private:
    bool m_following = true;
    bool m_pending = false;
    double m_window = DefaultWindow;
};
