// Game paths resolved without case against the root folder, and file searches.
#include "platform/FileSystem.h"
#include "support/FileFaults.h"
#include "support/HeadlessEngine.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class GameFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = MakeTempRoot();
        ASSERT_FALSE(m_root.empty());
        fs_layer::SetRootFolder(m_root + "/");
        std::filesystem::create_directories(m_root + "/data/Fonts");
        std::filesystem::create_directories(m_root + "/gfx/effects");
        Touch("data/Fonts/Font1.fnt");
        Touch("gfx/effects/a.jp2");
        Touch("gfx/effects/B.JP2");
        Touch("gfx/effects/b.gif");
    }
    void TearDown() override
    {
        fs_layer::SetRootFolder(fs_layer::DefaultRootFolder());
        RemoveTree(m_root);
    }
    void Touch(const std::string& rel) { std::ofstream(m_root + "/" + rel) << rel; }
    std::string m_root;
};

TEST_F(GameFiles, WindowsStylePathsResolveWithoutCase)
{
    const struct {
        const char* game;
        const char* host;
    } cases[] = {
        {"DATA\\FONTS\\font1.FNT", "/data/Fonts/Font1.fnt"},
        {"data/fonts/font1.fnt", "/data/Fonts/Font1.fnt"},
        {".\\data\\\\Fonts/./FONT1.fnt", "/data/Fonts/Font1.fnt"},
        {"data\\Fonts\\new.txt", "/data/Fonts/new.txt"},  // a new file keeps the case given
        {"Save\\Profile.dat", "/Save/Profile.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.game);
        EXPECT_EQ(fs_layer::ResolvePath(c.game), m_root + c.host);
    }
    EXPECT_EQ(fs_layer::ResolvePath("/etc/hostname"), "/etc/hostname");
    EXPECT_TRUE(fs_layer::FileExists("DATA\\fonts\\FONT1.FNT"));
    EXPECT_FALSE(fs_layer::FileExists("DATA\\fonts"));  // a folder is not a file
}

TEST_F(GameFiles, FindFilesMatchesWildcardsWithoutCaseAndSorts)
{
    EXPECT_EQ(fs_layer::FindFiles("GFX\\Effects\\*.jp2"), (std::vector<std::string>{"B.JP2", "a.jp2"}));
    EXPECT_EQ(fs_layer::FindFiles("gfx/effects/?.gif"), std::vector<std::string>{"b.gif"});
    EXPECT_EQ(fs_layer::FindFiles("gfx/effects/*"), (std::vector<std::string>{"B.JP2", "a.jp2", "b.gif"}));
    EXPECT_TRUE(fs_layer::FindFiles("nowhere/*.jp2").empty());
}

TEST_F(GameFiles, WholeFilesRoundTripAndSizeLimitsHold)
{
    const std::string text = "hello\0world";
    ASSERT_TRUE(fs_layer::WriteWholeFile("DATA\\out.bin", reinterpret_cast<const std::uint8_t*>(text.data()),
                                         text.size()));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(fs_layer::ReadWholeFile("data/OUT.bin", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
    EXPECT_FALSE(fs_layer::ReadWholeFile("data/out.bin", bytes, 3));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(fs_layer::ReadWholeFile("data/none.bin", bytes));
    EXPECT_FALSE(fs_layer::WriteWholeFile("no/such/folder/x.bin", bytes.data(), 0));
    EXPECT_TRUE(fs_layer::DeleteFile("Data\\Out.BIN"));
    EXPECT_FALSE(fs_layer::FileExists("data/out.bin"));
}

// A replacement is whole or nothing: whatever stops it, the old file is still there, unchanged,
// and no temporary file is left behind.
TEST_F(GameFiles, AFailedReplacementKeepsTheOldFileAndLeavesNoTemporary)
{
    const std::string path = m_root + "/data/keep.dat";
    const std::string old = "old bytes";
    ASSERT_TRUE(host_files::WriteAtomically(path, old.data(), old.size()));
    std::string why;
    {
        ScopedFileSizeLimit limit(4);  // the temporary file cannot be written whole
        EXPECT_FALSE(host_files::WriteAtomically(path, "new bytes", 9, host_files::WriteOptions(), &why));
    }
    EXPECT_EQ(why, "File too large");
    EXPECT_FALSE(host_files::WriteAtomically(m_root + "/no/such/folder/x.dat", "new", 3, host_files::WriteOptions(), &why));
    EXPECT_EQ(why, "No such file or directory");
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(fs_layer::ReadWholeFile("data/keep.dat", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), old);
    EXPECT_EQ(host_files::ListFiles(m_root + "/data"), std::vector<std::string>{path}) << "no temporary file left";

    host_files::WriteOptions options;
    options.createFolders = true;
    options.mode = 0600;
    options.modified = 1234567890123456789;
    ASSERT_TRUE(fs_layer::WriteWholeFile("Made\\Here\\new.dat", bytes.data(), bytes.size(), options));
    host_files::FileTime stamped = 0;
    ASSERT_TRUE(fs_layer::GetModifiedTime("made/here/NEW.dat", stamped));
    EXPECT_EQ(stamped, 1234567890123456789);  // exact to the nanosecond: the resource cache compares it
    EXPECT_EQ(std::filesystem::status(m_root + "/Made/Here/new.dat").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_TRUE(fs_layer::RenameFile("made/here/new.dat", "data/keep.dat"));
    ASSERT_TRUE(fs_layer::ReadWholeFile("data/keep.dat", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), old);
    EXPECT_FALSE(fs_layer::FileExists("made/here/new.dat"));
}

// Every writer has a temporary file of its own: two of them replacing one file over and over never
// rename each other's half-written file into place, so a reader only ever meets a whole file.
TEST_F(GameFiles, TwoWritersRacingOnOnePathNeverLeaveAnEmptyOrMixedFile)
{
    const std::string folder = m_root + "/race";
    std::filesystem::create_directories(folder);
    ScopedTmpfs fast(folder, 1024);  // fsync on a real disk would make thousands of rounds slow
    const std::string path = folder + "/save.dat";
    const std::string contents[2] = {std::string(3000, 'a'), std::string(5000, 'b')};
    ASSERT_TRUE(host_files::WriteAtomically(path, contents[0].data(), contents[0].size()));
    constexpr int kRounds = 3000;
    std::atomic<int> failures{0}, writersDone{0}, bad{0};
    auto writer = [&](int which) {
        for (int i = 0; i < kRounds; ++i) {
            if (!host_files::WriteAtomically(path, contents[which].data(), contents[which].size()))
                ++failures;
        }
        ++writersDone;
    };
    std::thread first(writer, 0), second(writer, 1);
    int reads = 0;
    while (writersDone < 2) {
        std::ifstream in(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        bad += text != contents[0] && text != contents[1] ? 1 : 0;
        ++reads;
    }
    first.join();
    second.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(bad, 0) << "of " << reads << " reads";
    EXPECT_EQ(host_files::ListFiles(folder), std::vector<std::string>{path}) << "no temporary file left";
}

TEST_F(GameFiles, FoldersAttributesAndTimes)
{
    ASSERT_TRUE(fs_layer::CreateDirectory("Save\\Sub\\Deep"));
    EXPECT_TRUE(std::filesystem::is_directory(m_root + "/Save/Sub/Deep"));
    std::filesystem::permissions(m_root + "/data/Fonts/Font1.fnt", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_TRUE(fs_layer::IsReadOnly("data\\fonts\\font1.fnt"));
    EXPECT_TRUE(fs_layer::SetWritable("data\\fonts\\font1.fnt"));
    EXPECT_FALSE(fs_layer::IsReadOnly("data\\fonts\\font1.fnt"));
    std::int64_t seconds = 0;
    EXPECT_TRUE(fs_layer::GetLastWriteTime("data/fonts/font1.fnt", seconds));
    EXPECT_GT(seconds, 1000000000);
    EXPECT_FALSE(fs_layer::GetLastWriteTime("data/fonts/none.fnt", seconds));
}

}  // namespace

namespace {

unsigned ModeOf(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::vector<std::string>& ToldLines()
{
    static std::vector<std::string> told;
    return told;
}

}  // namespace

// Someone who may write the folder may put a link at any name the game writes: it is replaced or
// left alone, never followed, and what it points to keeps its bytes and its mode. Byte code is read
// only from a regular file that nobody else may write, in a folder nobody else may write.
TEST_F(GameFiles, NothingIsWrittenOrChangedThroughALink)
{
    namespace fs = std::filesystem;
    const std::string elsewhere = m_root + "/elsewhere";
    std::ofstream(elsewhere) << "not the game's";
    fs::permissions(elsewhere, fs::perms::owner_read);
    const auto plant = [&](const std::string& rel) {
        fs::remove(m_root + "/" + rel);
        fs::create_symlink(elsewhere, m_root + "/" + rel);
    };
    plant("data/save.dat");
    bool replacedLink = false;
    host_files::WriteOptions told;
    told.replacedLink = &replacedLink;
    ASSERT_TRUE(fs_layer::WriteWholeFile("data/save.dat", reinterpret_cast<const std::uint8_t*>("new"), 3, told));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(m_root + "/data/save.dat"))) << "replaced";
    EXPECT_TRUE(replacedLink);
    ASSERT_TRUE(fs_layer::WriteWholeFile("data/save.dat", reinterpret_cast<const std::uint8_t*>("new"), 3, told));
    EXPECT_FALSE(replacedLink);
    plant("shot.png");
    std::string why;
    EXPECT_FALSE(host_files::WriteOutputFile(m_root + "/shot.png", "png", 3, &why));
    EXPECT_EQ(why, "a link stands at its name");
    plant("Palmora.log");
    const int log = host_files::ReplaceWithNewFile(m_root + "/Palmora.log", 0666, nullptr, &replacedLink);
    EXPECT_GE(log, 0);
    EXPECT_TRUE(replacedLink);
    ::close(log);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(m_root + "/Palmora.log")));
    plant("config.ini");
    EXPECT_FALSE(fs_layer::IsReadOnly("config.ini"));
    EXPECT_FALSE(fs_layer::SetWritable("config.ini"));
    EXPECT_LT(host_files::OpenOwnFile(m_root + "/config.ini", O_WRONLY | O_TRUNC), 0);
    plant("data/save.dat.tmp.1.0");
    fs_layer::RemoveLeftovers("data\\save.dat.tmp.*");
    EXPECT_TRUE(fs::is_symlink(m_root + "/data/save.dat.tmp.1.0")) << "a link is nobody's leftover";
    EXPECT_EQ(ModeOf(elsewhere), 0400u);
    std::ifstream in(elsewhere);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "not the game's");

    std::vector<std::uint8_t> bytes;
    plant("effects.bc");
    EXPECT_EQ(fs_layer::ReadTrustedFile("effects.bc", bytes, 100, nullptr, &why), host_files::ETrust::kNotTrusted);
    EXPECT_EQ(why, "a link stands at its name");
    fs::remove(m_root + "/effects.bc");
    std::ofstream(m_root + "/effects.bc") << "code";
    fs::permissions(m_root + "/effects.bc", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_write);
    EXPECT_EQ(fs_layer::ReadTrustedFile("effects.bc", bytes, 100, nullptr, &why), host_files::ETrust::kNotTrusted);
    EXPECT_EQ(why, "others may write it");
    fs::permissions(m_root + "/effects.bc", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs_layer::ReadTrustedFile("effects.bc", bytes, 100), host_files::ETrust::kTrusted);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "code");
    EXPECT_EQ(fs_layer::ReadTrustedFile("effects.bc", bytes, 3), host_files::ETrust::kUnreadable);
    EXPECT_EQ(fs_layer::ReadTrustedFile("none.bc", bytes, 100), host_files::ETrust::kMissing);

    // Reads: a file the game writes is never read through a link; data may be, unless another
    // user made the link to a file that is not theirs (nor root's for everyone to read).
    plant("data/linked");
    EXPECT_EQ(fs_layer::ReadWithoutLink("data/linked", bytes, 100, &why), host_files::ERead::kLink);
    EXPECT_EQ(why, "a link stands at its name");
    EXPECT_TRUE(fs_layer::ReadWholeFile("data/linked", bytes)) << "this user's own link";
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "not the game's");
    EXPECT_EQ(fs_layer::ReadWithoutLink("data", bytes, 100), host_files::ERead::kNotAFile);
    EXPECT_EQ(fs_layer::ReadWithoutLink("data/none", bytes, 100), host_files::ERead::kMissing);
    fs::create_symlink(m_root + "/data/none", m_root + "/data/dangling");
    EXPECT_EQ(fs_layer::ReadWithoutLink("data/dangling", bytes, 100), host_files::ERead::kLink);
    EXPECT_FALSE(fs_layer::ReadWholeFile("data/dangling", bytes));
    if (::getuid() == 0 && ::lchown((m_root + "/data/linked").c_str(), 65534, 65534) == 0) {
        const std::string linked = m_root + "/data/linked";
        EXPECT_EQ(host_files::ReadFile(linked, bytes, 100, host_files::ELinks::kMakersOwn, &why),
                  host_files::ERead::kLink);
        EXPECT_EQ(why, "a link of user 65534 leads to no file of theirs");
        fs::permissions(elsewhere, fs::perms::others_read, fs::perm_options::add);
        EXPECT_TRUE(fs_layer::ReadWholeFile("data/linked", bytes)) << "root's, for everyone to read";
        fs::permissions(elsewhere, fs::perms::owner_read);
        ASSERT_EQ(::chown(elsewhere.c_str(), 65534, 65534), 0);
        EXPECT_TRUE(fs_layer::ReadWholeFile("data/linked", bytes)) << "the link's maker's own";
    }

    // A link at a folder: followed when this user made it; another user's only where they could
    // use the folder so themselves. Where not, it reads, writes and removes nothing, told once per use.
    fs::create_directory(m_root + "/mine");
    std::ofstream(m_root + "/mine/save.dat") << "kept";
    fs::create_directory_symlink(m_root + "/mine", m_root + "/linked");
    EXPECT_TRUE(fs_layer::ReadWholeFile("LINKED/save.dat", bytes)) << "this user's own link";
    if (::getuid() == 0 && ::lchown((m_root + "/linked").c_str(), 65534, 65534) == 0) {
        fs_layer::SetNoticeLog([](const char* line) { ToldLines().push_back(line); });
        const struct {
            unsigned mode;
            uid_t owner;
            bool read, written;
        } folders[] = {
            {0700, 0, false, false},     // this user's (root's): not the link maker's
            {0755, 0, true, false},      // root's, for everyone to read: an installed data set's
            {0700, 65534, true, true},   // the link maker's own
        };
        for (const auto& folder : folders) {
            SCOPED_TRACE(folder.mode);
            ASSERT_EQ(::chown((m_root + "/mine").c_str(), folder.owner, folder.owner), 0);
            ASSERT_EQ(::chmod((m_root + "/mine").c_str(), folder.mode), 0);
            EXPECT_EQ(fs_layer::ReadWholeFile("linked/save.dat", bytes), folder.read);
            EXPECT_EQ(fs_layer::WriteWholeFile("linked/new.dat", bytes.data(), 0, {}, &why), folder.written);
            EXPECT_EQ(fs_layer::DeleteFile("linked/save.dat"), folder.written);
            EXPECT_EQ(fs::exists(m_root + "/mine/new.dat"), folder.written);
        }
        fs_layer::SetNoticeLog(nullptr);
        const std::string link = "[W] Folder linked: a link of user 65534 leads to no folder of theirs; nothing is ";
        EXPECT_EQ(ToldLines(), (std::vector<std::string>{link + "read through it", link + "written or removed through it"}));
    }

    fs::permissions(m_root, fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(fs_layer::ReadTrustedFile("effects.bc", bytes, 100, nullptr, &why), host_files::ETrust::kNotTrusted);
    EXPECT_EQ(why, "others may write folder " + m_root);
    fs::permissions(m_root, fs::perms::sticky_bit, fs::perm_options::add);
    EXPECT_EQ(fs_layer::ReadTrustedFile("effects.bc", bytes, 100), host_files::ETrust::kTrusted) << "nobody can replace it";
    // But anyone may add a name there, a hard link to a file of this user's among them.
    fs::create_hard_link(m_root + "/effects.bc", m_root + "/other.bc");
    EXPECT_EQ(fs_layer::ReadTrustedFile("effects.bc", bytes, 100, nullptr, &why), host_files::ETrust::kNotTrusted);
    EXPECT_EQ(why, "another name of a file of this user's (a hard link), in a folder others may write");
}

// In a folder that its group shares (setgid, writable by the group) what the game makes is the
// group's to use too, whatever the umask; elsewhere the umask holds.
TEST_F(GameFiles, FilesAndFoldersMadeInAFolderItsGroupSharesAreTheGroups)
{
    const std::string shared = m_root + "/shared";
    ASSERT_TRUE(fs_layer::CreateDirectory("shared"));
    ASSERT_EQ(::chmod(shared.c_str(), 02775), 0);
    const mode_t umask = ::umask(022);
    host_files::WriteOptions key;
    key.mode = 0600;
    EXPECT_TRUE(host_files::WriteAtomically(shared + "/save.dat", "s", 1));
    EXPECT_TRUE(host_files::WriteAtomically(shared + "/cache.key", "k", 1, key));
    EXPECT_TRUE(fs_layer::CreateDirectory("shared/save/deep"));
    EXPECT_TRUE(host_files::WriteAtomically(m_root + "/data/own.dat", "o", 1));
    ::umask(umask);
    EXPECT_EQ(ModeOf(shared + "/save.dat"), 0664u);
    EXPECT_EQ(ModeOf(shared + "/cache.key"), 0600u) << "what is kept to its user stays so";
    EXPECT_EQ(ModeOf(shared + "/save"), 02775u);
    EXPECT_EQ(ModeOf(shared + "/save/deep"), 02775u);
    EXPECT_EQ(ModeOf(m_root + "/data/own.dat"), 0644u);
}
