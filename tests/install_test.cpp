// The game installed as a desktop game: the installed tree passes the desktop
// checkers, and the Debian package unpacks into a binary that opens its window.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "x11_session.h"

namespace {

namespace fs = std::filesystem;

int run(const std::string& command) {
    const int status = std::system((command + " >install-test.log 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Installed : public testing::Test {
  protected:
    fs::path scratch;

    void SetUp() override {
        ::umask(002);  // as many desktops have it: the package's modes must not follow it
        scratch = fs::temp_directory_path() / ("quenmar-install-" + std::to_string(::getpid()));
        fs::remove_all(scratch);
        fs::create_directories(scratch);
    }
    void TearDown() override { fs::remove_all(scratch); }
};

TEST_F(Installed, puts_the_binary_menu_entry_icons_metadata_and_manual_where_desktops_look) {
    ASSERT_EQ(run("cmake --install " BUILD_DIR " --prefix " + scratch.string()), 0);
    for (const char* file :
         {"games/quenmar", "share/applications/quenmar.desktop",
          "share/metainfo/org.quenmar.quenmar.metainfo.xml",
          "share/icons/hicolor/scalable/apps/quenmar.svg",
          "share/icons/hicolor/48x48/apps/quenmar.png",
          "share/icons/hicolor/64x64/apps/quenmar.png",
          "share/icons/hicolor/128x128/apps/quenmar.png",
          "share/icons/hicolor/256x256/apps/quenmar.png", "share/man/man6/quenmar.6.gz",
          "share/doc/quenmar/copyright", "share/doc/quenmar/changelog.Debian.gz"}) {
        EXPECT_TRUE(fs::exists(scratch / file)) << file;
    }
    EXPECT_EQ(
        run("desktop-file-validate " + (scratch / "share/applications/quenmar.desktop").string()),
        0);
    EXPECT_EQ(run("appstreamcli validate --pedantic --no-net " +
                  (scratch / "share/metainfo/org.quenmar.quenmar.metainfo.xml").string() +
                  " | grep -q 'Validation was successful.$'"),
              0)
        << "valid without a single pedantic remark";
}

TEST_F(Installed, the_debian_package_is_lintian_clean_and_starts_from_its_menu_entry) {
    ASSERT_EQ(run("cd " BUILD_DIR " && cpack -G DEB -B " + scratch.string()), 0);
    fs::path deb;
    for (const auto& entry : fs::directory_iterator(scratch)) {
        if (entry.path().extension() == ".deb") deb = entry.path();
    }
    ASSERT_FALSE(deb.empty()) << "no .deb was made";
    EXPECT_EQ(run("dpkg-deb -f " + deb.string() + " Depends | grep -q libqt6widgets6"), 0)
        << "the package depends on Qt's widgets library";
    EXPECT_EQ(run("dpkg-deb -f " + deb.string() + " Recommends | grep -qx qt6-wayland"), 0);
    EXPECT_EQ(run("lintian --fail-on error,warning " + deb.string() +
                  " | grep -E '^(E|W):' && exit 1 || exit 0"),
              0)
        << "lintian reports an error or a warning: see install-test.log";

    const fs::path root = scratch / "root";
    ASSERT_EQ(run("dpkg -x " + deb.string() + " " + root.string()), 0);
    const std::string exec = std::string("sed -n 's/^Exec=//p' ") +
                             (root / "usr/share/applications/quenmar.desktop").string();
    std::string program;
    if (std::FILE* pipe = ::popen(exec.c_str(), "r")) {
        char line[256] = {};
        if (std::fgets(line, sizeof line, pipe) != nullptr) program = line;
        ::pclose(pipe);
    }
    while (!program.empty() && program.back() == '\n')
        program.pop_back();
    ASSERT_EQ(program, "/usr/games/quenmar") << "the menu entry starts the installed game";

    X11Session x;
    ASSERT_TRUE(x.ok());
    const pid_t game = x.launch((root.string() + program));
    ASSERT_GT(game, 0);
    EXPECT_TRUE(wait_until([&] { return x.find_window("Quenmar").has_value(); }, 10s));
}

}  // namespace
