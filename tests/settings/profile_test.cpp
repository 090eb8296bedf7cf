#include "runtime/settings/profile.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tbk;

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QString kLocal = QStringLiteral(".\\POSITION.INI");

} // namespace

TEST(Profile, MissingFileSectionOrEntryGivesDefaultButEmptyEntryGivesEmpty) {
    EXPECT_EQ(getIni("S", "K", "dflt", kLocal), "dflt");
    writeAll("POSITION.INI", "[S]\nK=\nOther=1\n");
    EXPECT_EQ(getIni("S", "K", "dflt", kLocal), "");
    EXPECT_EQ(getIni("S", "Missing", "dflt", kLocal), "dflt");
    EXPECT_EQ(getIni("T", "K", "dflt", kLocal), "dflt");
}

TEST(Profile, NamesAreCaseBlindAndMayHoldPunctuationAndBlanks) {
    ASSERT_TRUE(putIni("Global Settings", "BRW1::Sort3:Reset-A? x", "a, b", kLocal));
    EXPECT_EQ(getIni("GLOBAL SETTINGS", "brw1::sort3:reset-a? X", "", kLocal), "a, b");
    // The file name itself matches without case too.
    EXPECT_EQ(getIni("global settings", "BRW1::Sort3:Reset-A? x", "", ".\\position.ini"), "a, b");
    EXPECT_TRUE(QFile::exists("POSITION.INI"));
    EXPECT_FALSE(QFile::exists("position.ini"));
}

TEST(Profile, WriteUpdatesInPlaceAndKeepsEverythingElse) {
    writeAll("POSITION.INI", "; note\n[A]\nx=1\ny=2\n\n[B]\nz=3\n");
    ASSERT_TRUE(putIni("a", "X", "10", kLocal));
    ASSERT_TRUE(putIni("A", "w", "new", kLocal));
    ASSERT_TRUE(putIni("C", "q", "last", kLocal));
    EXPECT_EQ(readAll("POSITION.INI"),
              "; note\n[A]\nx=10\ny=2\nw=new\n\n[B]\nz=3\n\n[C]\nq=last\n");
}

TEST(Profile, AnUnchangedEntryIsNotWrittenAgain) {
    writeAll("POSITION.INI", "[A]\nx=1\n");
    struct stat before {};
    ASSERT_EQ(stat("POSITION.INI", &before), 0);
    ASSERT_TRUE(putIni("A", "x", "1", kLocal));
    struct stat after {};
    ASSERT_EQ(stat("POSITION.INI", &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);   // a write replaces the file
    ASSERT_TRUE(putIni("A", "x", "2", kLocal));
    EXPECT_EQ(readAll("POSITION.INI"), "[A]\nx=2\n");
}

TEST(Profile, KeepsCrlfEndingsAndReadsFileWithoutFinalNewline) {
    writeAll("POSITION.INI", "[A]\r\nx=1\r\ny=2");
    EXPECT_EQ(getIni("A", "y", "", kLocal), "2");
    ASSERT_TRUE(putIni("A", "x", "5", kLocal));
    EXPECT_EQ(readAll("POSITION.INI"), "[A]\r\nx=5\r\ny=2\r\n");
}

TEST(Profile, BrokenLinesDuplicatesAndForeignBytesDoNotLoseEntries) {
    writeAll("POSITION.INI", QByteArray("garbage line\n[A\nx=1\n=novalue\n[A]\nx=2\n"
                                        "[B]\nk=caf\xe9\nk=second\nbin=\xff\xfe\n"));
    // The first of duplicate sections and entries wins; an unclosed header still names a section.
    EXPECT_EQ(getIni("A", "x", "", kLocal), "1");
    EXPECT_EQ(getIni("B", "k", "", kLocal), QString::fromLatin1("caf\xe9"));
    ASSERT_TRUE(putIni("B", "new", "v", kLocal));
    const QByteArray after = readAll("POSITION.INI");
    EXPECT_TRUE(after.startsWith("garbage line\n[A\nx=1\n=novalue\n[A]\nx=2\n[B]\nk=caf\xe9\n"));
    EXPECT_TRUE(after.contains("bin=\xff\xfe\n"));
    EXPECT_EQ(getIni("B", "new", "", kLocal), "v");
}

TEST(Profile, LineBreaksInAValueCannotAddEntriesOrSections) {
    ASSERT_TRUE(putIni("A", "x", "one\n[B]\r\ny=2", kLocal));
    EXPECT_EQ(getIni("B", "y", "none", kLocal), "none");
    EXPECT_EQ(iniEntries("A", kLocal), QStringList{"x"});
    EXPECT_EQ(getIni("A", "x", "", kLocal), "one [B]  y=2");
    EXPECT_EQ(readAll("POSITION.INI"), "[A]\nx=one [B]  y=2\n");
}

TEST(Profile, AFileThatCannotBeReadIsNotReplaced) {
    writeAll("POSITION.INI", "[A]\nx=1\n");
    ASSERT_TRUE(QFile::setPermissions("POSITION.INI", QFileDevice::WriteOwner | QFileDevice::WriteOther));
    // Root reads every file: then the write is tried by a child that has given up root.
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        ASSERT_TRUE(QFile::setPermissions(".", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                   QFileDevice::WriteOther | QFileDevice::ExeOther));
    }
    const pid_t child = asRoot ? fork() : 0;
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (asRoot && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        const bool written = putIni("A", "y", "2", kLocal);
        const bool saysWhy = iniWriteError().endsWith(": Permission denied");
        if (asRoot)
            _exit(written ? 1 : saysWhy ? 0 : 2);
        EXPECT_FALSE(written);
        EXPECT_TRUE(saysWhy) << iniWriteError().toStdString();
    } else {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0)
            << "1: the unreadable file was written over; 2: no reason given; 3: could not give up root";
    }
    ASSERT_TRUE(QFile::setPermissions("POSITION.INI", QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(readAll("POSITION.INI"), "[A]\nx=1\n");
}

TEST(Profile, AWriteTheDiskTakesOnlyInPartSaysWhyAndKeepsTheFile) {
    writeAll("POSITION.INI", "[A]\nx=1\n");
    {
        FileSizeLimit limit(100);
        EXPECT_FALSE(putIni("A", "y", QString(200, QLatin1Char('v')), kLocal));
    }
    EXPECT_TRUE(iniWriteError().endsWith("POSITION.INI: File too large")) << iniWriteError().toStdString();
    EXPECT_EQ(readAll("POSITION.INI"), "[A]\nx=1\n");
}

TEST(Profile, BareNamesLiveInTheSettingsFolderAndDotNamesInTheCurrentFolder) {
    ASSERT_TRUE(putIni("Settings", "UseLog", "1", "TBank98.INI"));
    EXPECT_TRUE(QFile::exists(settingsFolder() + "/TBank98.INI"));
    EXPECT_FALSE(QFile::exists("TBank98.INI"));
    EXPECT_EQ(settingsPath(".\\DISCSEEK.INI"), QDir::current().filePath("DISCSEEK.INI"));
    writeAll("discseek.ini", "[CDDB]\nCDDB=abc\n");
    EXPECT_EQ(getIni("CDDB", "CDDB", "", ".\\DISCSEEK.INI"), "abc");
    EXPECT_EQ(QFileInfo(settingsPath(".\\DISCSEEK.INI")).fileName(), "discseek.ini");
}

TEST(Profile, RemoveAndListEntries) {
    writeAll("POSITION.INI", "[A]\nx=1\nY=2\nz=3\n");
    ASSERT_TRUE(removeIni("a", "y", kLocal));
    EXPECT_EQ(iniEntries("A", kLocal), QStringList({"x", "z"}));
    EXPECT_EQ(getIni("A", "Y", "gone", kLocal), "gone");
}
