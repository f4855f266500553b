// `write <filename> [note]` and `read <filename>`: settings files out and in.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "base/FileDescriptor.h"
#include "engine/ClientWindow.h"
#include "engine/EngineCommands.h"
#include "engine/SettingsFile.h"
#include "lang/SettingsLineReader.h"

namespace zel {
namespace {

constexpr char kWriteUsage[] = "WRITE <filename>";
constexpr char kWritten[] = "Current settings written to '%s'";
constexpr char kUnableToOpen[] = "Unable to open file '%s'";
constexpr char kNotText[] = "Unable to read file '%s' : it is not a text file";
constexpr char kIsTheLog[] = "Unable to read file '%s' : the session log is written to it";
constexpr char kReadsItself[] = "Unable to read file '%s' : it is being read already";
constexpr char kLineTooLong[] = "Line %zu of file '%s' is longer than %zu characters: skipped";
constexpr char kReadFailed[] = "Unable to read file '%s' : %d";

// The files this thread is reading, so that a file that reads itself (directly or through
// others) is refused instead of read without end.
struct OpenFile {
    dev_t device;
    ino_t inode;
};
thread_local std::vector<OpenFile> tFilesBeingRead;

class ReadingScope {
public:
    explicit ReadingScope(const struct stat& info)
    {
        tFilesBeingRead.push_back({info.st_dev, info.st_ino});
    }
    ~ReadingScope() { tFilesBeingRead.pop_back(); }
    ReadingScope(const ReadingScope&) = delete;
    ReadingScope& operator=(const ReadingScope&) = delete;

    static bool Reading(const struct stat& info)
    {
        return std::any_of(tFilesBeingRead.begin(), tFilesBeingRead.end(), [&](const OpenFile& f) {
            return f.device == info.st_dev && f.inode == info.st_ino;
        });
    }
};

// Runs the lines of an open file. The first line's first character is the command
// character while the file is read; a longer first line is also run.
void RunSettingsLines(ClientWindow& client, int fd, const std::string& fileName)
{
    SettingsLineReader reader(fd, kSettingsLineCapacity - 1);
    ClientWindow::LongLineScope longLines;
    std::string line;
    size_t number = 0;
    for (;;) {
        const SettingsLineReader::Result result = reader.Next(line);
        if (result == SettingsLineReader::Result::End) return;
        if (result == SettingsLineReader::Result::Error) {
            client.PrintLineFormatted(OutputFormat::Error, kReadFailed, fileName.c_str(), errno);
            return;
        }
        ++number;
        if (number == 1) {
            // A file of anything but text (its first line holds a NUL) is not run at all.
            if (line.find('\0') != std::string::npos) {
                client.PrintLineFormatted(OutputFormat::Error, kNotText, fileName.c_str());
                return;
            }
            if (!line.empty()) client.Chars().command = line[0];
            if (line.size() <= 1) continue;
        }
        if (result == SettingsLineReader::Result::TooLong) {
            client.PrintLineFormatted(OutputFormat::Error, kLineTooLong, number, fileName.c_str(),
                                      kSettingsLineCapacity - 1);
            continue;
        }
        if (!line.empty()) client.ExecuteLine(line, false, true);
    }
}

}  // namespace

int32_t CmdWrite(ClientWindow& client, uint32_t, std::string_view args)
{
    WordReader reader(client.Chars(), args);
    std::string fileName, note;
    reader.NextWord(fileName, kNameCapacity);
    reader.NextWord(note, kNameCapacity, true);
    if (fileName.empty()) {
        client.PrintLine(OutputFormat::System, kWriteUsage);
        return 0;
    }
    if (WriteSettingsFile(client, fileName, note) != 0) {
        client.PrintLineFormatted(OutputFormat::Error, kUnableToWriteSettings, fileName.c_str());
    } else {
        client.PrintLineFormatted(OutputFormat::System, kWritten, fileName.c_str());
        client.ClearSettingsChanged();
    }
    return 0;
}

int32_t CmdRead(ClientWindow& client, uint32_t, std::string_view args)
{
    const std::string fileName(args);
    const char commandChar = client.Chars().command;
    // Only regular files: a folder cannot be read, and a pipe or device could block or
    // never end.
    FileDescriptor file(open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.Get() < 0 || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        client.PrintLineFormatted(OutputFormat::Error, kUnableToOpen, fileName.c_str());
        return 0;
    }
    // Each line sent while it is read would be appended to it: the read would never end.
    bool isTheLog = false;
    {
        std::scoped_lock lock(client.OutputLock());
        isTheLog = client.Log().Writes(info.st_dev, info.st_ino);
    }
    if (isTheLog) {
        client.PrintLineFormatted(OutputFormat::Error, kIsTheLog, fileName.c_str());
        return 0;
    }
    if (ReadingScope::Reading(info)) {
        client.PrintLineFormatted(OutputFormat::Error, kReadsItself, fileName.c_str());
        return 0;
    }
    {
        ReadingScope reading(info);
        RunSettingsLines(client, file.Get(), fileName);
    }
    // Set back directly: the file's command character was in force only while it was read.
    client.Chars().command = commandChar;
    return 0;
}

}  // namespace zel
