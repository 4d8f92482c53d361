#include "review/JournalReader.h"

#include "station/IsoTime.h"

namespace {

using Kind = JournalStretch::Kind;

const QString AlarmSource = QStringLiteral("alarm");

QString keyOf(Kind kind, const QString &source)
{
    switch (kind) {
    case Kind::Failing: return QStringLiteral("failing ") + source;
    case Kind::Intermittent: return QStringLiteral("intermittent ") + source;
    case Kind::Alarm: break;
    }
    return QStringLiteral("alarm ") + source;
}

// The text of the journal's last field: in double quotes, a quote inside doubled.
bool unquote(const QString &field, QString *text)
{
    if (field.size() < 2 || !field.startsWith(QLatin1Char('"')) ||
        !field.endsWith(QLatin1Char('"')))
        return false;
    *text = field.mid(1, field.size() - 2);
    text->replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return true;
}

} // namespace

QString JournalStretch::text() const
{
    QStringList shown = lines;
    if (linesLeftOut > 0)
        shown.insert(JournalReader::LinesKept / 2,
                     QStringLiteral("... %1 more lines ...").arg(linesLeftOut));
    return shown.join(QLatin1Char('\n'));
}

QString JournalStretch::what() const
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("1"), QStringLiteral("Thermistor 1 (module 1)")},
        {QStringLiteral("2"), QStringLiteral("Thermistor 2 (module 2)")},
        {QStringLiteral("3"), QStringLiteral("Thermistor 3 (module 3)")},
        {QStringLiteral("5"), QStringLiteral("The flow gauge (module 5)")},
        {QStringLiteral("6"), QStringLiteral("Probe 1 (module 6)")},
        {QStringLiteral("7"), QStringLiteral("Probe 2 (module 7)")},
        {QStringLiteral("port"), QStringLiteral("The port")},
        {QStringLiteral("log"), QStringLiteral("The log file")},
        {QStringLiteral("settings"), QStringLiteral("The settings")},
        {QStringLiteral("journal"), QStringLiteral("The journal")},
    };
    if (kind == Kind::Alarm)
        return QStringLiteral("Alarm ") + source;
    return names.value(source, QStringLiteral("Source ") + source);
}

void JournalReader::readLine(const QByteArray &bytes)
{
    ++m_line;
    if (bytes.trimmed().isEmpty())
        return;
    const QString line = QString::fromUtf8(bytes.constData(), bytes.size());
    const int afterTime = line.indexOf(QLatin1Char(','));
    const int afterSource = line.indexOf(QLatin1Char(','), afterTime + 1);
    const int afterKind = line.indexOf(QLatin1Char(','), afterSource + 1);
    QString text;
    if (afterTime < 0 || afterSource < 0 || afterKind < 0 ||
        !unquote(line.mid(afterKind + 1), &text)) {
        m_problems.push_back({m_line,
                              QStringLiteral("not a journal line: it is not "
                                             "TIME,SOURCE,KIND,\"TEXT\"")});
        return;
    }
    const QDateTime time = IsoTime::read(line.left(afterTime));
    if (!time.isValid()) {
        m_problems.push_back({m_line,
                              QStringLiteral("\"%1\" is no date and time with its UTC offset")
                                  .arg(line.left(std::min(afterTime, 40)))});
        return;
    }
    const double x = static_cast<double>(m_origin.daysTo(time.date())) +
        time.time().msecsSinceStartOfDay() / 86400000.0;
    const QString source = line.mid(afterTime + 1, afterSource - afterTime - 1);
    const QString kind = line.mid(afterSource + 1, afterKind - afterSource - 1);

    if (source == AlarmSource) {
        const QString name = text.section(QLatin1Char(':'), 0, 0).trimmed();
        const QString key = keyOf(Kind::Alarm, name);
        if (kind == QLatin1String("active")) {
            open(Kind::Alarm, key, name, x, line);
        } else if (kind == QLatin1String("returned") || kind == QLatin1String("normal") ||
                   kind == QLatin1String("shelved")) {
            // An alarm not known by that name: the one alarm up, if there is one.
            QString known = key;
            if (!m_open.contains(key)) {
                QStringList up;
                for (auto at = m_open.cbegin(); at != m_open.cend(); ++at)
                    if (m_stretches[at.value()].kind == Kind::Alarm)
                        up << at.key();
                if (up.size() == 1)
                    known = up.constFirst();
            }
            close(known, x, line);
        } else {
            note(key, line);
        }
        return;
    }
    const QString failing = keyOf(Kind::Failing, source);
    const QString intermittent = keyOf(Kind::Intermittent, source);
    if (kind == QLatin1String("fault") || kind == QLatin1String("port lost") ||
        kind == QLatin1String("still failing")) {
        open(Kind::Failing, failing, source, x, line);
    } else if (kind == QLatin1String("answering again") || kind == QLatin1String("port reopened") ||
               kind == QLatin1String("writing again")) {
        if (!m_open.contains(failing))
            open(Kind::Failing, failing, source, x, line); // its start is not in the journal
        close(failing, x, line);
    } else if (kind == QLatin1String("intermittent") || kind == QLatin1String("flapping") ||
               kind == QLatin1String("still intermittent")) {
        open(Kind::Intermittent, intermittent, source, x, line);
    } else if (kind == QLatin1String("steady")) {
        close(intermittent, x, line);
    } else if (kind == QLatin1String("not written")) {
        open(Kind::Failing, failing, source, x, line);
        close(failing, x, line);
    }
}

void JournalReader::open(Kind kind, const QString &key, const QString &source, double x,
                         const QString &line)
{
    if (m_open.contains(key)) {
        note(key, line);
        return;
    }
    JournalStretch stretch;
    stretch.kind = kind;
    stretch.source = source;
    stretch.from = x;
    stretch.lines << line;
    m_open.insert(key, m_stretches.size());
    m_stretches.push_back(stretch);
}

void JournalReader::note(const QString &key, const QString &line)
{
    const auto found = m_open.constFind(key);
    if (found == m_open.cend())
        return;
    JournalStretch &stretch = m_stretches[found.value()];
    // The first lines and the last: those between are only counted.
    if (stretch.lines.size() == LinesKept) {
        stretch.lines.removeAt(LinesKept / 2);
        ++stretch.linesLeftOut;
    }
    stretch.lines << line;
}

void JournalReader::close(const QString &key, double x, const QString &line)
{
    const auto found = m_open.constFind(key);
    if (found == m_open.cend())
        return;
    note(key, line);
    m_stretches[found.value()].to = x;
    m_open.erase(found);
}
