#include "SimulatorLog.h"

namespace {
const QByteArray ANSWER_PREFIX = "dgh-sim: answer ";
}

bool SimulatorLog::next(Answer *answer)
{
    if (!m_file.isOpen() && !m_file.open(QIODevice::ReadOnly))
        return false;
    for (;;) {
        const QByteArray chunk = m_file.readLine();
        if (chunk.isEmpty())
            return false; // the rest of the line is not written yet
        m_partial += chunk;
        if (!m_partial.endsWith('\n'))
            continue;
        const QByteArray line = m_partial.chopped(1);
        m_partial.clear();
        if (!line.startsWith(ANSWER_PREFIX))
            continue;
        const QByteArray rest = line.mid(ANSWER_PREFIX.size());
        const int blank = rest.indexOf(' ');
        answer->fault = rest.left(blank);
        answer->bytes = unescaped(rest.mid(blank + 1));
        return true;
    }
}

QByteArray SimulatorLog::unescaped(const QByteArray &text)
{
    QByteArray bytes;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != '\\' || i + 1 >= text.size()) {
            bytes += text.at(i);
            continue;
        }
        const char kind = text.at(++i);
        if (kind == 'r') {
            bytes += '\r';
        } else if (kind == 'n') {
            bytes += '\n';
        } else if (kind == 'x' && i + 2 < text.size()) {
            bytes += static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            bytes += kind;
        }
    }
    return bytes;
}
