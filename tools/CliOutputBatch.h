#pragma once

#include <map>
#include <set>
#include <string>

// The new files of a batch of outputs (CliOutputFile). They are written in one private folder
// per target folder, made once for the batch, and reach the disk together when Flush syncs each
// file system they went to, instead of one file at a time: per file, the folders' creation and
// removal and the flushes cost a batch to disk many times what it costs in memory.
//
//   CliOutputBatch batch;
//   for (...) { CliOutputFile output(name, scratch, &batch); ...; output.Finish(); report }
//   batch.Flush(); // only now is what was reported on the disk
class CliOutputBatch
{
public:
    CliOutputBatch() = default;
    // Removes the private folders (the files in them are removed by their CliOutputFile).
    ~CliOutputBatch();
    CliOutputBatch(const CliOutputBatch &) = delete;
    CliOutputBatch &operator=(const CliOutputBatch &) = delete;

    // The private folder of the batch in targetFolder; empty before it is made.
    std::string PrivateFolder(const std::string &targetFolder) const;
    void SetPrivateFolder(const std::string &targetFolder, const std::string &privateFolder);
    // A new file was renamed into targetFolder without its own flush.
    void NoteUnflushed(const std::string &targetFolder) { FUnflushed.insert(targetFolder); }
    // Puts all noted files on the disk. Throws "Cannot write file <folder>: <reason>".
    void Flush();

private:
    std::map<std::string, std::string> FPrivateFolders; // target folder -> private folder
    std::set<std::string> FUnflushed;
};

// Ends a batch of merged letters: flushes it, and says on stderr when the flush failed or how
// many of the total (cases or rows, as unit names them) stopped. Returns merge's exit status.
int FinishMergeBatch(CliOutputBatch &batch, int failures, std::size_t total, const char *unit);
