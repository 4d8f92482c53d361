#include "logging/LogLoader.h"

#include <QElapsedTimer>
#include <QFile>

#include <utility>

namespace {

// How often the window hears of progress.
constexpr qint64 SliceMs = 100;

} // namespace

LogLoader::LogLoader(const QString &fileName, const QLocale &locale)
    : m_fileName(fileName)
    , m_locale(locale)
{
}

LogLoader::~LogLoader()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void LogLoader::start()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { read(); });
}

void LogLoader::hand(Slice slice)
{
    // Queued to this object's thread; dropped if the loader is gone by then.
    QMetaObject::invokeMethod(
        this, [this, slice = std::move(slice)] { sliceRead.notify(slice); }, Qt::QueuedConnection);
}

void LogLoader::read()
{
    QFile file(m_fileName);
    Slice slice;
    if (!file.open(QIODevice::ReadOnly)) {
        slice.last = true;
        slice.failure = QStringLiteral("it could not be opened: %1").arg(file.errorString());
        hand(std::move(slice));
        return;
    }
    slice.bytesTotal = file.size();
    if (slice.bytesTotal == 0) {
        slice.last = true;
        slice.failure = QStringLiteral("it is empty");
        hand(std::move(slice));
        return;
    }

    LogReader reader(m_locale);
    int problemsHanded = 0;
    QElapsedTimer sinceHanded;
    sinceHanded.start();
    const auto fill = [&](Slice &into) {
        into.records = reader.takeRecords();
        into.runs = reader.runs();
        into.problems = reader.problems().mid(problemsHanded);
        problemsHanded = reader.problems().size();
        into.problemCount = reader.problemCount();
        into.originDate = reader.originDate();
        into.bytesRead = file.pos();
        into.bytesTotal = file.size();
    };

    QByteArray line;
    while (!m_stop && !file.atEnd() && reader.worthReading()) {
        line = file.readLine(LongestLine);
        if (line.isEmpty() && file.error() != QFileDevice::NoError)
            break;
        const bool ended = line.endsWith('\n');
        if (!ended && line.size() >= LongestLine - 1) {
            // Not a log line: read on to its end without keeping it.
            while (!m_stop && !file.atEnd() && file.error() == QFileDevice::NoError &&
                   !file.readLine(LongestLine).endsWith('\n')) { }
            reader.skipLine(QStringLiteral("longer than any log line: left out"));
            continue;
        }
        line.chop(ended ? (line.endsWith("\r\n") ? 2 : 1) : 0);
        reader.readLine(line, ended);
        if (sinceHanded.elapsed() >= SliceMs) {
            Slice part;
            fill(part);
            hand(std::move(part));
            sinceHanded.restart();
        }
    }
    fill(slice);
    slice.last = true;
    if (file.error() != QFileDevice::NoError)
        slice.failure = QStringLiteral("reading stopped at byte %1: %2")
                            .arg(file.pos())
                            .arg(file.errorString());
    else if (!reader.worthReading())
        slice.failure =
            QStringLiteral("it is not a station log: none of its first %1 lines opens a run "
                           "(\"Kestrom Science DGH Logging Program\")")
                .arg(LogReader::LinesBeforeGivingUp);
    hand(std::move(slice));
}
