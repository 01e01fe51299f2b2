#pragma once

#include <functional>

// How the host answers signals: SIGINT and SIGTERM ask the work under way to stop (an
// opening gives up, an export cancels), SIGXFSZ is ignored so that a write over the file size
// limit fails with an error the export reports instead of ending the process.
namespace ksignals {

// At start-up, before any work.
void install();
// Calls cancel on the event loop's thread for every signal, those that arrived before
// included, once the event loop runs. Needs the application object.
void onCancel(std::function<void()> cancel);

// Watches an opening: Qt parses and lays a long text out in steps that cannot stop
// part-way, so a signal during them ends the process with status 2 after a short grace,
// once the opening holds nothing that only it can clean up. abandon runs first, on the
// watching thread (it prints what the caller expects of a cancel).
class OpeningWatch
{
public:
    explicit OpeningWatch(std::function<void()> abandon);
    ~OpeningWatch();
    OpeningWatch(const OpeningWatch &) = delete;
    OpeningWatch &operator=(const OpeningWatch &) = delete;

private:
    struct Private;
    Private *d;
};

} // namespace ksignals
