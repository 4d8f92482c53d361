#pragma once

#include <QMetaObject>
#include <QObject>

// A signal connection that ends with its holder: an adapter lets go of its
// widget's signal when it goes, as the widget may outlive it.
class ScopedConnection
{
public:
    ScopedConnection() = default;
    ScopedConnection(QMetaObject::Connection connection) : m_connection(std::move(connection)) { }
    ~ScopedConnection() { QObject::disconnect(m_connection); }
    ScopedConnection(const ScopedConnection &) = delete;
    ScopedConnection &operator=(const ScopedConnection &) = delete;

private:
    QMetaObject::Connection m_connection;
};
