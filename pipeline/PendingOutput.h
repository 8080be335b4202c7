#pragma once
// The file an export writes until it is done: a new, uniquely named file in
// the output's folder. Commit() moves it onto the output's name; otherwise
// it is removed, so an earlier file of that name stays as it was.
#include <string>

class PendingOutput {
public:
    // Throws "Can't write to the output folder." when no file can be made there.
    explicit PendingOutput(const std::string& outputName);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    const std::string& GetPath() const { return m_Path; }
    // Throws "Can't replace the output file." when the move fails, and
    // CheckTarget's messages.
    void Commit();

    // Refuses an output name that exists and is not a regular file (a
    // device, a pipe, a folder), or that is longer than its folder takes.
    static void CheckTarget(const std::string& outputName);

private:
    std::string m_Target;
    std::string m_Path;
    bool m_Committed = false;
};
