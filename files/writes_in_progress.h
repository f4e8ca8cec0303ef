// The whole-file writes in progress, kept where every way the process ends
// can find them: the exit paths wait for them, and SIGINT, SIGTERM and SIGHUP
// remove their temporary files, so that neither leaves a temporary file
// behind nor cuts a file short.
#pragma once

#include <chrono>
#include <string>

namespace kesmir {

// One write in progress, from the making of its writer until its temporary
// file is renamed over the target or removed. AtomicFileWriter holds one.
class WriteInProgress {
  public:
    // Waits while all places are taken. Once the process has begun to end,
    // waits for ever: the process ends around the writer, which has created
    // nothing yet.
    WriteInProgress();
    ~WriteInProgress();
    WriteInProgress(const WriteInProgress&) = delete;
    WriteInProgress& operator=(const WriteInProgress&) = delete;

    // Names the temporary file before it is created, so that a signal from
    // then on removes it. False when the path is too long to keep.
    bool name(const std::string& temporaryPath);
    // Once the file exists: when a signal is already ending the process, the
    // file is removed here and the thread waits for the end.
    void created();
    // The temporary file is gone: renamed over the target or removed.
    void unname();

  private:
    int place_ = -1;
};

// A write that will begin soon (a picture still being encoded) counts as in
// progress from now until it is let go: the exit paths wait for it, and let
// its writers begin although the process is ending. Let go of it once its
// files are written.
class WriteAhead {
  public:
    WriteAhead();
    ~WriteAhead();
    WriteAhead(const WriteAhead&) = delete;
    WriteAhead& operator=(const WriteAhead&) = delete;

  private:
    bool counted_ = false;
};

// Every exit path calls this before it ends the process: waits for the writes
// in progress to finish and lets no new one begin. A write still running
// after `patience` has its temporary file removed, told on stderr.
void finishWritesInProgress(std::chrono::milliseconds patience = std::chrono::seconds(60));

// Handlers for SIGINT, SIGTERM and SIGHUP that remove the temporary files of
// the writes in progress, then end the process by the same signal, as it
// would have ended without them. A signal ignored at start stays ignored.
void removeTemporaryFilesOnSignals();

}  // namespace kesmir
