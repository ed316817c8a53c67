// Where the program looks for its library and help: beside itself (the build
// folder), then the installed folders relative to itself; the source tree's
// help only from the build folder.
#include "app/program_files.h"
#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace lekta;
using lekta::testing::TempDir;

namespace {

// An installation under a temporary prefix, and a build folder beside it.
class ProgramFilesLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* d : {"usr/bin", "usr/lib/x86_64-linux-gnu/lekta", "usr/share/lekta/help",
                              "build/bin", "src/docs/help"})
            QDir().mkpath(at(d));
    }
    QString at(const QString& relative) const
    {
        return QDir(QString::fromStdString(root.path())).filePath(relative);
    }
    void touch(const QString& relative) const
    {
        QDir().mkpath(QFileInfo(at(relative)).absolutePath());
        lekta::testing::write_file(at(relative).toStdString(), {'x'});
    }
    ProgramLayout layout(const QString& program_dir) const
    {
        return {at(program_dir), "../lib/x86_64-linux-gnu/lekta", "../share/lekta/help/index.html",
                at("build/bin"), at("src/docs/help/index.html")};
    }
    TempDir root;
};

}  // namespace

TEST_F(ProgramFilesLookup, TheLibraryBesideTheProgramComesFirstThenTheInstalledOne)
{
    touch("usr/lib/x86_64-linux-gnu/lekta/libgetnumcom.so");
    EXPECT_EQ(locate_program_files(layout("usr/bin")).port_library,
              at("usr/lib/x86_64-linux-gnu/lekta/libgetnumcom.so"));
    touch("usr/bin/libgetnumcom.so");
    EXPECT_EQ(locate_program_files(layout("usr/bin")).port_library, at("usr/bin/libgetnumcom.so"));
}

// Found nowhere (or a folder in its place): the library beside the program is
// what the start-up then reports as missing.
TEST_F(ProgramFilesLookup, AMissingLibraryIsLookedForBesideTheProgram)
{
    QDir().mkpath(at("usr/lib/x86_64-linux-gnu/lekta/libgetnumcom.so"));
    EXPECT_EQ(locate_program_files(layout("usr/bin")).port_library, at("usr/bin/libgetnumcom.so"));
}

TEST_F(ProgramFilesLookup, TheInstalledHelpIsFoundFromTheProgramsFolder)
{
    touch("usr/share/lekta/help/index.html");
    touch("src/docs/help/index.html");
    EXPECT_EQ(locate_program_files(layout("usr/bin")).help_file,
              at("usr/share/lekta/help/index.html"));
    // Spelled with a trailing separator or through "..", the folder is the same.
    EXPECT_EQ(locate_program_files(layout("usr/lib/../bin/")).help_file,
              at("usr/share/lekta/help/index.html"));
}

TEST_F(ProgramFilesLookup, TheSourceTreesHelpServesTheBuildFolderOnly)
{
    touch("src/docs/help/index.html");
    EXPECT_EQ(locate_program_files(layout("build/bin")).help_file, at("src/docs/help/index.html"));
    EXPECT_EQ(locate_program_files(layout("build/bin/")).help_file, at("src/docs/help/index.html"));
    // An installed copy without its help names the place the help belongs.
    EXPECT_EQ(locate_program_files(layout("usr/bin")).help_file,
              at("usr/share/lekta/help/index.html"));
    // An installation in the build folder (a prefix inside it) uses its own help.
    touch("build/share/lekta/help/index.html");
    EXPECT_EQ(locate_program_files(layout("build/bin")).help_file,
              at("build/share/lekta/help/index.html"));
}

// The folders compiled in are relative: the program finds its files wherever
// its prefix is moved.
TEST(ProgramLayoutCompiledIn, FoldersAreRelativeToTheProgram)
{
    const ProgramLayout l = compiled_layout("/opt/x/bin");
    EXPECT_EQ(l.program_dir, "/opt/x/bin");
    EXPECT_TRUE(QDir::isRelativePath(l.library_dir)) << l.library_dir.toStdString();
    EXPECT_TRUE(QDir::isRelativePath(l.help_file)) << l.help_file.toStdString();
    EXPECT_TRUE(l.library_dir.endsWith("/lekta")) << l.library_dir.toStdString();
    EXPECT_TRUE(l.help_file.endsWith("/help/index.html")) << l.help_file.toStdString();
}
