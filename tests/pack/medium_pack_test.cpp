// medium-pack: the label, the autorun.inf it writes and the one it checks,
// the names a disc cannot hold, and whole runs on media laid out here, with
// xorriso reading back what it wrote.
#include "tools/medium_pack/pack.h"
#include "tools/medium_pack/run.h"

#include "tests/unit/test_support.h"
#include "tools/medium_check/pe_certificates.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using medium_pack::Finding;

namespace {

std::set<std::string> Codes(const std::vector<Finding>& findings) {
    std::set<std::string> codes;
    for (const Finding& f : findings) codes.insert(f.code);
    return codes;
}

TEST(MediumPack, DiscLabel) {
    struct Case {
        const char* text;
        const char* label;
    } const cases[] = {
        {"Vantrell Software Collection 2026", "Vantrell Software Collection"},
        {"  Drivers 2026 \t", "Drivers 2026"},
        {"Tab\there", "Tab here"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"},
        // 32 bytes of UTF-8, not 32 characters: 31 characters fit in them.
        {"Treiber f\xC3\xBCr Drucker und Scanner", "Treiber f\xC3\xBCr Drucker und Scanner"},
        {"\xC3\x9C" "bersicht f\xC3\xBCr Drucker und Sc\xC3\xA4nner",
         "\xC3\x9C" "bersicht f\xC3\xBCr Drucker und"},
        // Without a blank, at the last whole character: 16 of 17 "Ä", 10 of 11 "版".
        {"\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84"
         "\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84",
         "\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84"
         "\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84"},
        {"\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88"
         "\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88",
         "\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88"
         "\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88\xE7\x89\x88"},
        {"   ", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(medium_pack::DiscLabel(c.text), c.label) << c.text;
}

TEST(MediumPack, TheAutorunItWritesPassesItsOwnCheck) {
    EXPECT_EQ(medium_pack::AutorunFor("Office 2026"),
              "[autorun]\r\nopen=wizard.exe\r\nicon=wizard.exe\r\nlabel=Office 2026\r\n");
    // A label beyond ASCII: UTF-16 with the byte-order mark, "Ü" as DC 00.
    const std::string wide = medium_pack::AutorunFor("\xC3\x9C");
    ASSERT_GE(wide.size(), 2u);
    EXPECT_EQ(wide.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(wide.find(std::string("=\0\xDC\0", 4)), std::string::npos);
    for (const std::string& text : {medium_pack::AutorunFor("A"), wide}) {
        std::vector<Finding> findings;
        medium_pack::CheckAutorun(text, [](const std::string& p) { return p == "wizard.exe"; },
                                  findings);
        EXPECT_TRUE(findings.empty()) << findings.front().message;
    }
}

TEST(MediumPack, AnAuthorsAutorun) {
    struct Case {
        const char* text;
        std::set<std::string> codes;
    } const cases[] = {
        {"[AutoRun]\r\nOPEN=.\\wizard.exe\r\nicon=\"wizard.exe\",0\r\n", {}},
        {"[autorun]\nopen=wizard.exe /lang\nlabel=X\n", {}},
        {"open=wizard.exe\n", {"autorun-without-section"}},
        {"[autorun]\nicon=wizard.exe\n", {"autorun-starts-nothing"}},
        {"[autorun]\nopen=setup.exe\n", {"autorun-program-missing"}},
        {"[autorun]\nopen=tools\\menu.exe\n", {"autorun-not-menu"}},
        {"[autorun]\nopen=wizard.exe\nicon=disc.ico\n", {"autorun-icon-missing"}},
        {"[autorun]\nshellexecute=wizard.exe\nshell\\install=Install\n",
         {"autorun-ignored-on-removable"}},
        {"[autorun]\nopen=wizard.exe\nlabell=X\n", {"autorun-key-unknown"}},
        // Keys of other sections are not the [autorun] section's.
        {"[autorun]\nopen=wizard.exe\n[Content]\nMusicFiles=false\n", {}},
    };
    const auto onDisc = [](const std::string& p) {
        return p == "wizard.exe" || p == "tools\\menu.exe";
    };
    for (const Case& c : cases) {
        std::vector<Finding> findings;
        medium_pack::CheckAutorun(c.text, onDisc, findings);
        EXPECT_EQ(Codes(findings), c.codes) << c.text;
    }
}

TEST(MediumPack, NamesTheDiscCannotHold) {
    const std::string name64(64, 'n'), name65(65, 'n');
    // "D:\" and the folder and file: 259 bytes fit, 260 do not.
    const std::string folder(200, 'f');
    const std::string fits = folder + "/" + std::string(259 - 3 - 201, 'x');
    struct Case {
        std::vector<std::string> paths;
        std::set<std::string> codes;
    } const cases[] = {
        {{"a/" + name64}, {}},
        {{"a/" + name65}, {"name-too-long-for-joliet"}},
        // Characters, not bytes: 64 Cyrillic letters are 128 bytes.
        {{[] { std::string s; for (int i = 0; i < 64; ++i) s += "\xD0\x96"; return s; }()}, {}},
        {{"Setup.exe", "setup.EXE"}, {"names-differ-in-case"}},
        {{"a/setup.exe", "b/SETUP.EXE"}, {}},
        {{"\xC3\x89t\xC3\xA9", "\xC3\xA9t\xC3\xA9"}, {"names-differ-in-case"}},
        {{"\xD0\x96", "\xD0\xB6"}, {"names-differ-in-case"}},
        {{"\xC4\x90i", "\xC4\x91i"}, {"names-differ-in-case"}},
        {{fits}, {}},
        {{fits + "x"}, {"path-too-long"}},
        // A letter beyond ASCII counts two bytes, whatever its UTF-8 length.
        {{folder + "/" + std::string(259 - 3 - 201 - 1, 'x') + "\xC3\xA9"}, {"path-too-long"}},
        {{folder + "/" + std::string(259 - 3 - 201 - 2, 'x') + "\xE4\xB8\xAD"}, {}},
    };
    for (const Case& c : cases) {
        std::vector<Finding> findings;
        medium_pack::CheckNames(c.paths, findings);
        EXPECT_EQ(Codes(findings), c.codes) << c.paths.front();
    }
}

// ---------------------------------------------------------------- runs

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// Writes past `bytes` fail while it lasts, as they do on a full disk (a
// negative `bytes`: no limit).
class FileLimit {
public:
    explicit FileLimit(long bytes) : m_on(bytes >= 0) {
        if (!m_on) return;
        getrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileLimit() {
        if (!m_on) return;
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, SIG_DFL);
    }

private:
    bool m_on;
    rlimit m_old{};
};

class Pack : public ::testing::Test {
protected:
    void SetUp() override {
        char t[] = "/tmp/medium-pack-test.XXXXXX";
        ASSERT_NE(mkdtemp(t), nullptr);
        m_dir = t;
        for (const std::string& name : medium_pack::ShippedFiles())
            Write(m_dir / "dist" / name,
                  name == "translat.ini" ? "[english]\r\nFont=Arial\r\n[french]\r\nError=Erreur\r\n"
                                         : "shipped " + name);
        Write(Medium() / "QXMSETUP.INI", "[common]\r\nname=Drivers 2026 for the Office\r\n");
        Write(Medium() / "printer" / "QXMSETUP.INI",
              "[common]\r\nname=Printer\r\nfile=setup.exe\r\n");
        Write(Medium() / "printer" / "setup.exe", "MZ");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path Medium() const { return m_dir / "medium"; }
    fs::path Image() const { return m_dir / "disc.iso"; }

    int Run(std::vector<std::string> extra) {
        std::vector<std::string> args = {Medium().string(), "-o", Image().string(), "--dist",
                                         (m_dir / "dist").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        m_out.clear();
        m_err.clear();
        return medium_pack::Run(args, m_out, m_err);
    }
    // A file of the image, as xorriso reads it back through Joliet.
    std::string FromImage(const std::string& path) {
        const fs::path to = m_dir / "extracted";
        fs::remove_all(to);
        Shell("xorriso -osirrox on -read_fs norock -indev '" + Image().string() +
              "' -extract '" + path + "' '" + to.string() + "'");
        return Read(to);
    }

    fs::path m_dir;
    std::string m_out, m_err;
};

TEST_F(Pack, AddsWhatTheMediumLacksAndKeepsWhatItHas) {
    Write(Medium() / "translat.ini", "[english]\r\nFont=Tahoma\r\n");
    // The medium's own picture (one white pixel) goes with it.
    const std::string picture("BM:\0\0\0\0\0\0\0006\0\0\0(\0\0\0\1\0\0\0\1\0\0\0\1\0\x18\0", 30);
    Write(Medium() / "art" / "side.bmp", picture + std::string(24, '\0') + "\xff\xff\xff" + '\0');
    // A title of 31 characters in 32 bytes of UTF-8 is the label whole.
    Write(Medium() / "QXMSETUP.INI",
          "[common]\r\nname=Treiber f\xFCr Drucker und Scanner\r\npicture=art\\side.bmp\r\n");
    const std::string label = "Treiber f\xC3\xBCr Drucker und Scanner";
    // An image made before is replaced.
    ASSERT_EQ(Run({"--label", "Old"}), 0) << m_out << m_err;
    ASSERT_EQ(Run({}), 0) << m_out << m_err;
    EXPECT_NE(m_out.find("Label        " + label + " (Windows shows \"Treiber f\xC3\xBCr Druc\""),
              std::string::npos)
        << m_out;
    EXPECT_NE(m_out.find("the menu enlarges the picture"), std::string::npos) << m_out;
    EXPECT_EQ(FromImage("/art/side.bmp"), Read(Medium() / "art" / "side.bmp"));
    EXPECT_EQ(FromImage("/wizard.exe"), "shipped wizard.exe");
    EXPECT_EQ(FromImage("/Online.dll"), "shipped Online.dll");
    EXPECT_EQ(FromImage("/translat.ini"), "[english]\r\nFont=Tahoma\r\n");
    EXPECT_EQ(FromImage("/printer/setup.exe"), "MZ");
    EXPECT_EQ(FromImage("/autorun.inf"), medium_pack::AutorunFor(label));
    EXPECT_NE(Shell("xorriso -indev '" + Image().string() + "' -pvd_info")
                  .find("Volume Id    : " + label + "\n"),
              std::string::npos);
}

TEST_F(Pack, KeepsAndChecksTheAuthorsAutorun) {
    const std::string own = "[autorun]\r\nopen=wizard.exe\r\nshellexecute=wizard.exe\r\n";
    Write(Medium() / "AUTORUN.INF", own);
    ASSERT_EQ(Run({"--label", "Printers"}), 0) << m_err;
    // The translation it adds has no word of the medium: no note says so.
    EXPECT_NE(m_out.find("Findings: 0 errors, 1 warning\n  warning  autorun-ignored-on-removable  "
                         "autorun.inf:3: shellexecute= works from a CD or DVD drive only"),
              std::string::npos)
        << m_out;
    EXPECT_EQ(FromImage("/AUTORUN.INF"), own);
    EXPECT_NE(Shell("xorriso -indev '" + Image().string() + "' -pvd_info")
                  .find("Volume Id    : Printers"),
              std::string::npos);
}

TEST_F(Pack, RefusesAMediumWithErrorsUnlessForced) {
    fs::remove(Medium() / "printer" / "setup.exe");
    Write(Medium() / "printer" / "Readme.txt", "Read me");
    Write(Medium() / "printer" / "README.TXT", "");
    // Links that leave the medium (to a file, to a folder, through another
    // link) are errors and never packed, nor one that names nothing; one
    // that stays inside is packed as the file it names.
    Write(m_dir / "home" / ".ssh" / "id_rsa", "PRIVATE KEY");
    fs::create_symlink("/etc/passwd", Medium() / "shadow");
    fs::create_directory_symlink("../../home", Medium() / "printer" / "home");
    fs::create_symlink("../shadow", Medium() / "printer" / "hop");
    fs::create_symlink("nothing", Medium() / "gone");
    fs::create_symlink("printer/Readme.txt", Medium() / "manual.txt");
    EXPECT_EQ(Run({}), 1);
    EXPECT_FALSE(fs::exists(Image()));
    EXPECT_NE(m_out.find("D:\\printer\\setup.exe does not exist"), std::string::npos) << m_out;
    EXPECT_NE(m_out.find("printer\\Readme.txt: \"Readme.txt\" and \"README.TXT\" differ only"),
              std::string::npos)
        << m_out;
    EXPECT_NE(m_err.find("no image written"), std::string::npos) << m_err;

    EXPECT_NE(m_out.find("error    link-leaves-medium  printer\\home: a link to \"../../home\", "
                         "which comes to"),
              std::string::npos)
        << m_out;
    EXPECT_NE(m_out.find("warning  link-dangling  gone: a link to \"nothing\" that names nothing"),
              std::string::npos)
        << m_out;

    EXPECT_EQ(Run({"--force"}), 0) << m_err;
    EXPECT_TRUE(fs::exists(Image()));
    EXPECT_NE(m_err.find("despite 5 errors (file-missing, link-leaves-medium, names-differ-in-case)"),
              std::string::npos)
        << m_err;
    EXPECT_NE(m_out.find("Link         manual.txt is packed as the file it names, printer\\Readme.txt"),
              std::string::npos)
        << m_out;
    EXPECT_EQ(FromImage("/manual.txt"), "Read me");
    const std::string files = Shell("xorriso -indev '" + Image().string() + "' -find /");
    for (const char* left : {"shadow", "hop", "gone", "home"})
        EXPECT_EQ(files.find(left), std::string::npos) << files;
    const std::string bytes = Read(Image());
    EXPECT_EQ(bytes.find("PRIVATE KEY"), std::string::npos);
    EXPECT_EQ(bytes.find("root:x:0:0"), std::string::npos);
}

TEST_F(Pack, SaysWhatIsMissingOrWrongAndWritesNothing) {
    // Files at -o that are not replaced.
    const fs::path notes = m_dir / "notes.txt", hard = m_dir / "hard.exe", pipe = m_dir / "pipe";
    Write(notes, "notes");
    fs::create_hard_link(Medium() / "printer" / "setup.exe", hard);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    struct Case {
        std::vector<std::string> args;
        const char* said;
        int status = 2;
        long fileLimit = -1;  // the bytes a file may grow to, as on a full disk
    } const cases[] = {
        {{"--dist", (m_dir / "nothing").string()},
         "has no wizard.exe, Online.dll, filemove.avi, translat.ini"},
        {{"-o", (Medium() / "disc.iso").string()}, "inside the medium"},
        {{"-o", (m_dir / "no" / "disc.iso").string()}, "no folder for the image"},
        {{"--label", "  "}, "the label is empty"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"-o", notes.string()}, "exists and is no disc image", 5},
        {{"-o", (m_dir / "dist" / "wizard.exe").string(), "--force"}, "is wizard.exe of --dist", 5},
        {{"-o", hard.string(), "--force"}, "is printer\\setup.exe of the medium", 5},
        {{"-o", pipe.string(), "--force"}, "is not a file", 5},
        {{}, "autorun.inf: File too large", 3, 0},
        {{}, "xorriso failed", 3, 64 * 1024},
    };
    for (const Case& c : cases) {
        int status;
        {
            FileLimit limit(c.fileLimit);
            status = Run(c.args);
        }
        EXPECT_EQ(status, c.status) << c.said << "\n" << m_err;
        EXPECT_NE(m_err.find(c.said), std::string::npos) << m_err;
        EXPECT_FALSE(fs::exists(Image()));
        EXPECT_FALSE(fs::exists(Medium() / "disc.iso"));
        for (const auto& e : fs::directory_iterator(m_dir)) EXPECT_NE(e.path().extension(), ".part");
    }
    EXPECT_EQ(Read(notes), "notes");
    EXPECT_EQ(Read(hard), "MZ");
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(Read(m_dir / "dist" / "wizard.exe"), "shipped wizard.exe");
}

// Certificates made here: a root, and below it a code-signing certificate
// (as PEM with its chain, and as PKCS#12 with the password "secret" in
// today's encryption and in the legacy one), one
// expired, one not yet valid, one for web servers; a key of another; and a
// code-signing certificate of someone else.
const char kMakeCertificates[] = R"(set -e
openssl req -x509 -newkey rsa:2048 -nodes -keyout root.key -out root.pem -days 30 \
  -subj '/CN=Medium Test Root' -addext basicConstraints=critical,CA:true
openssl req -x509 -newkey rsa:2048 -nodes -keyout other.key -out other.pem -days 30 \
  -subj '/CN=Someone Else' -addext extendedKeyUsage=codeSigning
openssl req -new -newkey rsa:2048 -nodes -keyout leaf.key -out leaf.csr -subj '/CN=Medium Test Signer'
printf '[ca]\ndefault_ca=t\n[t]\ndatabase=index.txt\nnew_certs_dir=.\nserial=serial\n' >ca.cnf
printf 'default_md=sha256\nunique_subject=no\npolicy=p\n[p]\ncommonName=supplied\n' >>ca.cnf
printf '[sign]\nextendedKeyUsage=codeSigning\n[web]\nextendedKeyUsage=serverAuth\n' >>ca.cnf
: >index.txt; echo 1000 >serial; printf secret >secret; printf Secret >wrong
day() { date -u -d "$1" +%Y%m%d%H%M%SZ; }
leaf() { openssl ca -batch -config ca.cnf -cert root.pem -keyfile root.key -in leaf.csr -notext \
  -extensions $2 -startdate $3 -enddate $4 -out $1.crt; cat $1.crt root.pem >$1.pem; }
leaf good sign $(day '1 day ago') $(day '30 days')
leaf expired sign 20200101000000Z 20200201000000Z
leaf future sign $(day '10 days') $(day '40 days')
leaf web web $(day '1 day ago') $(day '30 days')
openssl pkcs12 -export -in good.pem -inkey leaf.key -out good.p12 -passout pass:secret
openssl pkcs12 -export -legacy -in good.pem -inkey leaf.key -out legacy.p12 -passout pass:secret
)";

TEST_F(Pack, SignsTheMenuWithAGoodCertificateAndRefusesEveryOther) {
    const fs::path c = m_dir / "certs";
    fs::create_directories(c);
    Write(c / "make.sh", kMakeCertificates);
    const std::string made = Shell("cd '" + c.string() + "' && sh make.sh");
    ASSERT_TRUE(fs::exists(c / "good.p12")) << made;
    const std::string pe = testing_support::MinimalPe();
    for (const char* name : {"wizard.exe", "Online.dll"}) Write(m_dir / "dist" / name, pe);
    Write(Medium() / "printer" / "setup.exe", pe);
    auto at = [&](const char* name) { return (c / name).string(); };
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* said;
        bool theirs = false;  // the medium has its own wizard.exe, signed by someone else
    } const cases[] = {
        {{}, 0, "Unsigned     wizard.exe (the menu: --sign signs it), printer\\setup.exe"},
        {{"--sign", at("good.p12"), "--password-file", at("secret")}, 0,
         "Signed       Online.dll, wizard.exe by \"CN=Medium Test Signer\""},
        {{"--sign", at("good.pem"), "--key", at("leaf.key")}, 0, "checked against its chain"},
        // RC2, as older exports have it: OpenSSL's legacy provider.
        {{"--sign", at("legacy.p12"), "--password-file", at("secret")}, 0, "checked against"},
        {{"--sign", at("expired.pem"), "--key", at("leaf.key")}, 4,
         "has expired: its validity ended on 2020-02-01"},
        {{"--sign", at("future.pem"), "--key", at("leaf.key")}, 4, "is not valid yet"},
        {{"--sign", at("web.pem"), "--key", at("leaf.key")}, 4, "lacks code signing"},
        {{"--sign", at("good.p12"), "--password-file", at("wrong")}, 4, "wrong password for"},
        {{"--sign", at("good.p12")}, 4, "is protected by a password"},
        {{"--sign", at("good.pem"), "--key", at("other.key")}, 4, "is not the key of"},
        {{"--sign", at("good.p12"), "--password-file", at("secret")}, 4,
         "wizard.exe is signed already, by \"CN=Someone Else\"", true},
    };
    for (const Case& k : cases) {
        fs::remove(Image());
        fs::remove(Medium() / "wizard.exe");
        if (k.theirs)
            Shell("osslsigncode sign -certs '" + at("other.pem") + "' -key '" + at("other.key") +
                  "' -in '" + (m_dir / "dist" / "wizard.exe").string() + "' -out '" +
                  (Medium() / "wizard.exe").string() + "'");
        ASSERT_EQ(Run(k.args), k.status) << k.said << "\n" << m_out << m_err;
        EXPECT_NE((m_out + m_err).find(k.said), std::string::npos) << m_out << m_err;
        EXPECT_EQ(fs::exists(Image()), k.status == 0) << k.said;
        EXPECT_FALSE(fs::exists(Image().string() + ".part"));
        if (k.status || k.args.empty()) continue;
        // The image's copies are signed; the shipped files stay as they were.
        EXPECT_NE(m_out.find("Unsigned     printer\\setup.exe"), std::string::npos) << m_out;
        EXPECT_NE(m_err.find("no --timestamp"), std::string::npos) << m_err;
        for (const char* name : {"/wizard.exe", "/Online.dll"}) {
            std::istringstream copy(FromImage(name));
            EXPECT_TRUE(medium_check::ReadCertificateTable(copy).signedData) << name;
        }
        EXPECT_EQ(Read(m_dir / "dist" / "wizard.exe"), pe);
    }
}

// A program that hangs (osslsigncode on a time-stamping server that never
// answers) is stopped.
TEST_F(Pack, AProgramThatDoesNotFinishIsStopped) {
    const std::string said =
        medium_pack::RunProgram("sleep", {"30"}, (m_dir / "log").string(), "", 1);
    EXPECT_EQ(said, "sleep did not finish within 1 second, and was stopped");
}

}  // namespace
