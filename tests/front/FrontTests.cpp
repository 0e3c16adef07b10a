// Where the front finds its opcode table, and its command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "front/Front.h"

namespace {

// A fresh directory, removed with everything in it at the end of the test.
struct TempDirectory {
    std::string Path;
    TempDirectory()
    {
        char pattern[] = "/tmp/front-test-XXXXXX";
        Path = mkdtemp(pattern);
    }
    ~TempDirectory() { std::system(("rm -rf '" + Path + "'").c_str()); }
    void AddFile(const std::string& name)
    {
        std::system(("mkdir -p \"$(dirname '" + Path + "/" + name + "')\"").c_str());
        std::ofstream(Path + "/" + name) << "1\nNOP 1\n";
    }
};

// Runs the test body in another working directory.
struct WorkingDirectory {
    std::string Previous;
    explicit WorkingDirectory(const std::string& path)
    {
        char buffer[4096];
        Previous = getcwd(buffer, sizeof buffer) ? buffer : "/";
        EXPECT_EQ(chdir(path.c_str()), 0);
    }
    ~WorkingDirectory() { EXPECT_EQ(chdir(Previous.c_str()), 0); }
};

TEST(FindOpcodeTable, WorkingDirectoryThenInstalledThenBuildTree)
{
    TempDirectory prefix;
    prefix.AddFile("share/assembler-8085/etc/opcodes.txt");
    TempDirectory elsewhere;
    WorkingDirectory inside(elsewhere.Path);

    // Installed with the program: <prefix>/bin and <prefix>/share/assembler-8085/etc.
    EXPECT_EQ(FindOpcodeTable(prefix.Path + "/bin/Assembler"), prefix.Path + "/share/assembler-8085/etc/opcodes.txt");
    // Not installed: the source tree's table, known when it was built.
    EXPECT_EQ(FindOpcodeTable(elsewhere.Path + "/Assembler"), std::string(PASS2_SOURCE_DIR) + "/etc/opcodes.txt");
    EXPECT_EQ(FindOpcodeTable(""), std::string(PASS2_SOURCE_DIR) + "/etc/opcodes.txt");
    // The working directory's own table comes first.
    elsewhere.AddFile("etc/opcodes.txt");
    EXPECT_EQ(FindOpcodeTable(prefix.Path + "/bin/Assembler"), "etc/opcodes.txt");
}

TEST(AssembleSource, GivesTheImageAndStartWithoutTheFormats)
{
    TempDirectory directory;
    WorkingDirectory inside(directory.Path);
    std::ofstream("prog.asm") << "        ORG 0F00H\nGO:     MVI A,3AH\n        DW GO\n        END GO\n";
    FrontOptions options;
    options.Source = "prog";
    AssemblyResult result;
    std::ostringstream errors;
    ASSERT_EQ(AssembleSource(options, result, errors), 0) << errors.str();
    EXPECT_EQ(result.BaseName, "prog");
    EXPECT_TRUE(result.HasStartAddress);
    EXPECT_EQ(result.StartAddress, 0x0F00);
    ASSERT_EQ(result.Image.ByteCount, 4);
    EXPECT_EQ(result.Image.Lowest, 0x0F00);
    const std::uint8_t bytes[] = {0x3E, 0x3A, 0x00, 0x0F};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(result.Image.Bytes[0x0F00 + i], bytes[i]) << i;
    struct stat info;
    EXPECT_EQ(stat("prog.o", &info), 0);
    EXPECT_NE(stat("prog.hex", &info), 0);
    EXPECT_NE(stat("prog.lst", &info), 0);
}

// Any file name is a source; the outputs drop its last extension. A name
// without extension, or whose NAME.asm exists, is the base name of NAME.asm.
struct SourceNameCase {
    const char* Given;
    const char* Existing; // the one file written, or null
    const char* BaseName;
    int Status;
    const char* ErrorText;
};

TEST(AssembleSource, AnyFileNameIsASource)
{
    const SourceNameCase cases[] = {
        {"prog.MAC", "prog.MAC", "prog", 0, ""},
        {"prog.8085.asm", "prog.8085.asm", "prog.8085", 0, ""},
        {"dir.v1/prog.s", "dir.v1/prog.s", "dir.v1/prog", 0, ""},
        {"dir.v1/prog", "dir.v1/prog.asm", "dir.v1/prog", 0, ""},
        {"prog", "prog", "prog", 0, ""},
        {"prog.MAC", "prog.MAC.asm", "prog.MAC", 0, ""},
        {"absent.A85", nullptr, "absent", 2, "Assembler: error: cannot read absent.A85\n"},
        {"absent", nullptr, "absent", 2, "Assembler: error: cannot read absent.asm\n"},
    };
    for (const SourceNameCase& test : cases) {
        TempDirectory directory;
        WorkingDirectory inside(directory.Path);
        if (test.Existing != nullptr) {
            directory.AddFile(test.Existing);
            std::ofstream(test.Existing) << " NOP\n";
        }
        FrontOptions options;
        options.Source = test.Given;
        AssemblyResult result;
        std::ostringstream errors;
        EXPECT_EQ(AssembleSource(options, result, errors), test.Status) << test.Given;
        EXPECT_EQ(result.BaseName, test.BaseName) << test.Given;
        EXPECT_EQ(errors.str(), test.ErrorText) << test.Given;
        struct stat info;
        EXPECT_EQ(stat((std::string(test.BaseName) + ".o").c_str(), &info) == 0, test.Status == 0) << test.Given;
    }
}

struct UsageCase {
    std::vector<const char*> Arguments;
    int Status;
    const char* ErrorText; // the start of standard error
};

TEST(RunFront, UsageFaults)
{
    const UsageCase cases[] = {
        {{}, 2, "Assembler: error: no source file given (see --help)\n"},
        {{"-o"}, 2, "Assembler: error: -o needs a value\n"},
        {{"a.asm", "--fill"}, 2, "Assembler: error: --fill needs a value\n"},
        {{"a.asm", "--fill", "100H"}, 2, "Assembler: error: --fill needs a byte, 0 to FFH: 100H\n"},
        {{"a.asm", "--fill", "x"}, 2, "Assembler: error: --fill needs a byte, 0 to FFH: x\n"},
        {{"a.asm", "b.asm"}, 2, "Assembler: error: more than one source file: a.asm, b.asm\n"},
        {{"a.asm", "--from-object", "a.o"}, 2, "Assembler: error: a source file and --from-object together\n"},
        {{"--hex"}, 2, "Assembler: error: unknown option --hex (see --help)\n"},
        {{"--version", "--nonsense"}, 2, "Assembler: error: unknown option --nonsense (see --help)\n"},
        {{"--version"}, 0, ""},
        {{"--help", "a.asm"}, 0, ""},
    };
    for (const UsageCase& test : cases) {
        std::vector<const char*> argv = {"Assembler"};
        argv.insert(argv.end(), test.Arguments.begin(), test.Arguments.end());
        std::ostringstream out, errors;
        EXPECT_EQ(RunFront(static_cast<int>(argv.size()), argv.data(), out, errors), test.Status);
        EXPECT_EQ(errors.str(), test.ErrorText);
        EXPECT_EQ(out.str().empty(), test.Status != 0);
    }
}

} // namespace
