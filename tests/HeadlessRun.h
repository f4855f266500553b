// Runs `zel --headless` with the given standard input and collects what it wrote.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace zel::test {

struct HeadlessRun {
    std::string out;
    std::string error;
    int status = -1;
};

inline std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// `arguments` follow --headless on the command line. `environment` changes the client's
// environment: "NAME=value" sets a variable, a bare "NAME" removes it.
inline HeadlessRun RunZelHeadless(const std::string& input,
                                  const std::vector<std::string>& arguments = {},
                                  const std::vector<std::string>& environment = {})
{
    const TempFolder folder("zel-headless");
    const std::filesystem::path& dir = folder.Path();
    std::ofstream(dir / "in", std::ios::binary) << input;
    std::string command = "env";
    for (const auto& variable : environment)
        if (variable.find('=') == std::string::npos) command += " -u " + variable;
    for (const auto& variable : environment)
        if (variable.find('=') != std::string::npos) command += " '" + variable + "'";
    command += " " + std::string(ZEL_BINARY) + " --headless";
    for (const auto& argument : arguments) command += " '" + argument + "'";
    command += " < " + (dir / "in").string() + " > " + (dir / "out").string() + " 2> " +
               (dir / "err").string();
    HeadlessRun run;
    run.status = std::system(command.c_str());
    run.out = ReadWholeFile(dir / "out");
    run.error = ReadWholeFile(dir / "err");
    return run;
}

}  // namespace zel::test
