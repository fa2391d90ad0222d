// Every way the program saves a file, under the faults a real disk and a real user bring: a file-size
// limit, a folder that cannot be written, a symbolic link, a process killed mid-save, two processes
// saving at once. The previous file stays intact and readable in every case, and no save is reported
// as done that did not happen.
#include "session/Session.h"
#include "core/AtomicFile.h"
#include "core/IniFile.h"
#include "core/NumberText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <functional>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// How a piece of work ended in a child process: its answer, or death by a signal.
enum class End { Saved, Refused, Killed };

// Runs fnWork in a child process, under a file-size limit when lFileSizeLimit >= 0 and as an
// unprivileged user when bUnprivileged (the tests may run as root, who may write anywhere).
End InChild(const std::function<bool()>& fnWork, long lFileSizeLimit = -1, bool bUnprivileged = false)
{
    const pid_t lChild = ::fork();
    if (lChild == 0) {
        if (lFileSizeLimit >= 0) {
            const rlimit oLimit{static_cast<rlim_t>(lFileSizeLimit), static_cast<rlim_t>(lFileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &oLimit);
        }
        if (bUnprivileged && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(3);
        }
        ::_exit(fnWork() ? 0 : 1);
    }
    int lStatus = 0;
    ::waitpid(lChild, &lStatus, 0);
    if (WIFSIGNALED(lStatus)) {
        return End::Killed;
    }
    return WEXITSTATUS(lStatus) == 0 ? End::Saved : End::Refused;
}

std::set<std::string> Entries(const std::string& sFolder)
{
    std::set<std::string> oNames;
    for (const auto& oEntry : std::filesystem::directory_iterator(sFolder)) {
        oNames.insert(oEntry.path().filename().string());
    }
    return oNames;
}

// One way of saving: which file it writes and how, given a session holding something of each kind.
struct Saver {
    const char* pcName;
    std::function<bool(Session&, const std::string&)> fnSave;
};

std::unique_ptr<Spectrum> SampleSpectrum()
{
    std::vector<double> vW;
    std::vector<double> vI;
    for (int k = 0; k < 400; ++k) {
        const double x = 6500.0 + 0.25 * k;
        vW.push_back(x);
        vI.push_back(1.0 - 0.5 * std::exp(-(x - 6563.0) * (x - 6563.0) / 2.0));
    }
    auto pSpectrum = std::make_unique<Spectrum>();
    pSpectrum->SetValues(static_cast<int32_t>(vW.size()), vW.data(), vI.data());
    pSpectrum->SetObservationTime(2459000.5);
    return pSpectrum;
}

const std::vector<Saver>& Savers()
{
    static const std::vector<Saver> vSavers = {
        {"Project", [](Session& o, const std::string& s) { return !o.Project().SaveProject(s); }},
        {"MeasurementDump", [](Session& o, const std::string& s) { return !o.Project().DumpMeasurements(s); }},
        {"Results", [](Session& o, const std::string& s) { return !o.Project().ExportResults(s); }},
        {"Elements", [](Session& o, const std::string& s) { return !o.Orbit().ExportElements(s); }},
        {"Residuals", [](Session& o, const std::string& s) { return !o.Orbit().ExportResiduals(s); }},
        {"CalibratedSpectrum", [](Session& o, const std::string& s) { return !o.Calibration().SaveCalibratedSpectrum(s); }},
        {"FitsSpectrum", [](Session& o, const std::string& s) { return !o.Spectra().SaveSpectrumAsFits(s); }},
        {"CorrelationParameters", [](Session& o, const std::string& s) { return !o.Correlation().SaveCorrelationParameters(s); }},
        {"Settings", [](Session&, const std::string& s) { return IniFile(s).WriteString("Paths", "Last", "/x"); }},
    };
    return vSavers;
}

class SaverFaultTest : public ::testing::TestWithParam<std::size_t> {
protected:
    TempDir m_oDir;
    std::string m_sFolder = m_oDir.File("out");
    Session m_oSession{m_oDir.File("quandrel.ini")};
    const std::string m_sPrevious = "the previous file\n";

    void SetUp() override
    {
        std::filesystem::create_directory(m_sFolder);
        m_oSession.Project().SetObjectCoordinates({5, 55, 7, 24});
        m_oSession.Spectra().AddSpectrum(SampleSpectrum(), "s");
        m_oSession.Correlation().SetCorrelationParameters({6510, 6590, 512, 20, 0.01}, {});
        // A row in the table, and a velocity series with residuals.
        m_oSession.Settings().Write(Setting::LaboratoryLinesFilePath, m_oDir.Write("lab.txt", "H-alpha;6562.8\n"));
        ASSERT_TRUE(m_oSession.Lines().LoadLaboratoryLinesAtStartUp());
        ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
        m_oSession.Lines().ActivateLine(0);
        m_oSession.Lines().IdentifyActiveLineWithNearest();
        ASSERT_FALSE(m_oSession.Project().AddMeasurement());
        std::string sSeries;
        for (int k = 0; k < 12; ++k) {
            sSeries += std::to_string(2459000.5 + 1.3 * k) + ";" + std::to_string(20.0 * std::sin(0.7 * k)) + "\n";
        }
        ASSERT_FALSE(m_oSession.Orbit().ImportMeasurements(m_oDir.Write("rv.txt", sSeries)));
        OrbitSearch oSearch = m_oSession.Orbit().OrbitSearchProposal();
        oSearch.alSteps = {3, 3, 3, 3, 3, 3};
        const Outcome oFit = m_oSession.Orbit().FitOrbit(oSearch);
        ASSERT_TRUE(m_oSession.Orbit().IsOrbitFitted()) << (oFit ? oFit->sText : "");
    }
    const ::Saver& CurrentSaver() const { return Savers()[GetParam()]; }
    bool Save(const std::string& sPath) { return CurrentSaver().fnSave(m_oSession, sPath); }
    std::string Target() const { return m_sFolder + "/file"; }
};

} // namespace

TEST_P(SaverFaultTest, AFailedSaveIsReportedAndLeavesThePreviousFileAlone)
{
    const std::string sTarget = m_oDir.Write("out/file", m_sPrevious);
    const std::set<std::string> oBefore = Entries(m_sFolder);
    // Past a file-size limit the save fails with a message: the process is not killed by SIGXFSZ.
    EXPECT_EQ(InChild([&] { return Save(sTarget); }, 8), End::Refused);
    EXPECT_EQ(ReadWholeFile(sTarget), m_sPrevious);
    // A folder that cannot be written, as a user who may not write there.
    ::chmod(m_sFolder.c_str(), 0555);
    EXPECT_EQ(InChild([&] { return Save(sTarget); }, -1, true), End::Refused);
    ::chmod(m_sFolder.c_str(), 0755);
    EXPECT_EQ(ReadWholeFile(sTarget), m_sPrevious);
    std::set<std::string> oAfter = Entries(m_sFolder);
    oAfter.erase("file.lock"); // the settings' writers take turns through it
    EXPECT_EQ(oAfter, oBefore) << "no temporary file stays behind";
    EXPECT_TRUE(Save(sTarget));
    EXPECT_NE(ReadWholeFile(sTarget), m_sPrevious);
}

TEST_P(SaverFaultTest, ALinkStaysALinkAndTheFileKeepsItsPermissions)
{
    const std::string sReal = m_oDir.Write("out/real", m_sPrevious);
    ::chmod(sReal.c_str(), 0640);
    std::filesystem::create_directory(m_sFolder + "/links");
    std::filesystem::create_symlink("../real", m_sFolder + "/links/file");
    ASSERT_TRUE(Save(m_sFolder + "/links/file"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_sFolder + "/links/file"));
    EXPECT_NE(ReadWholeFile(sReal), m_sPrevious);
    struct stat oStat {};
    ASSERT_EQ(::stat(sReal.c_str(), &oStat), 0);
    EXPECT_EQ(oStat.st_mode & 07777, 0640U);
    // A link to a file not there yet makes it.
    std::filesystem::create_symlink("new", m_sFolder + "/dangling");
    ASSERT_TRUE(Save(m_sFolder + "/dangling"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_sFolder + "/dangling"));
    EXPECT_FALSE(ReadWholeFile(m_sFolder + "/new").empty());
}

TEST_P(SaverFaultTest, TwoProcessesSavingAtOnceLeaveOneCompleteFile)
{
    // Each process saves again and again; the file is always the one save or the other, never a mix.
    ASSERT_TRUE(Save(Target()));
    const std::string sComplete = ReadWholeFile(Target());
    std::vector<pid_t> vChildren;
    for (int lChild = 0; lChild < 2; ++lChild) {
        const pid_t lPid = ::fork();
        if (lPid == 0) {
            bool bAll = true;
            for (int k = 0; k < 40; ++k) {
                bAll = Save(Target()) && bAll;
            }
            ::_exit(bAll ? 0 : 1);
        }
        vChildren.push_back(lPid);
    }
    for (int k = 0; k < 200; ++k) {
        const std::string sNow = ReadWholeFile(Target());
        EXPECT_EQ(sNow, sComplete);
        if (sNow != sComplete) {
            break;
        }
    }
    for (const pid_t lPid : vChildren) {
        int lStatus = 0;
        ::waitpid(lPid, &lStatus, 0);
        EXPECT_TRUE(WIFEXITED(lStatus) && WEXITSTATUS(lStatus) == 0);
    }
    EXPECT_EQ(ReadWholeFile(Target()), sComplete);
}

INSTANTIATE_TEST_SUITE_P(EverySaver, SaverFaultTest, ::testing::Range<std::size_t>(0, Savers().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& oInfo) {
                             return std::string(Savers()[oInfo.param].pcName);
                         });

TEST(SaverFault, AProcessKilledMidSaveLeavesThePreviousFileOrTheNewOneWhole)
{
    TempDir oDir;
    const std::string sPath = oDir.Write("big", "the previous file");
    // Large enough that the kill falls into the middle of writing it.
    const std::string sNew(64U * 1024U * 1024U, 'n');
    const pid_t lChild = ::fork();
    if (lChild == 0) {
        for (;;) {
            quandrel::WriteFileAtomically(sPath, sNew);
        }
    }
    // Wait until the child's temporary file is there, so that the kill meets a save under way.
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Entries(oDir.File("")).size() < 2 && std::chrono::steady_clock::now() < tEnd) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(lChild, SIGKILL);
    int lStatus = 0;
    ::waitpid(lChild, &lStatus, 0);
    const std::string sNow = ReadWholeFile(sPath);
    EXPECT_TRUE(sNow == "the previous file" || sNow == sNew) << sNow.size() << " bytes";
}

TEST(SaverFault, SettingsWrittenByTwoProcessesAtOnceAreAllKept)
{
    TempDir oDir;
    const std::string sPath = oDir.File("q.ini");
    std::vector<pid_t> vChildren;
    for (int lChild = 0; lChild < 2; ++lChild) {
        const pid_t lPid = ::fork();
        if (lPid == 0) {
            const IniFile oIni(sPath);
            bool bAll = true;
            for (int k = 0; k < 60; ++k) {
                bAll = oIni.WriteInteger("S", "p" + std::to_string(lChild) + "k" + std::to_string(k), k) && bAll;
            }
            ::_exit(bAll ? 0 : 1);
        }
        vChildren.push_back(lPid);
    }
    for (const pid_t lPid : vChildren) {
        int lStatus = 0;
        ::waitpid(lPid, &lStatus, 0);
        ASSERT_TRUE(WIFEXITED(lStatus) && WEXITSTATUS(lStatus) == 0) << "every write reported done";
    }
    const IniFile oIni(sPath);
    int lLost = 0;
    for (int lChild = 0; lChild < 2; ++lChild) {
        for (int k = 0; k < 60; ++k) {
            lLost += oIni.ReadInteger("S", "p" + std::to_string(lChild) + "k" + std::to_string(k), -1) != k ? 1 : 0;
        }
    }
    EXPECT_EQ(lLost, 0) << "writes reported done and then lost";
}

TEST(SaverFault, ADeviceNamedAsTheTargetIsWrittenToAndStaysADevice)
{
    TempDir oDir;
    EXPECT_TRUE(quandrel::WriteFileAtomically("/dev/null", "x"));
    EXPECT_FALSE(quandrel::WriteFileAtomically("/dev/full", "x")) << "a full device is reported";
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    std::filesystem::create_directory(oDir.File("folder"));
    EXPECT_FALSE(quandrel::WriteFileAtomically(oDir.File("folder"), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(oDir.File("folder")));
}

TEST(SaverFault, TheWriterRespectsPermissionsHardLinksAndPipesAndNamesTheCause)
{
    TempDir oDir;
    ::chmod(oDir.File("").c_str(), 0755);
    const bool bRoot = ::geteuid() == 0;
    // As cp does: a file the user may not write (0444 in a folder the user may write) is not replaced.
    std::filesystem::create_directory(oDir.File("open"));
    ::chmod(oDir.File("open").c_str(), 0777);
    const std::string sReadOnly = oDir.Write("open/readonly.txt", "kept");
    ::chmod(sReadOnly.c_str(), 0444);
    EXPECT_EQ(InChild([&] { return quandrel::WriteFileAtomically(sReadOnly, "new") ||
                                   quandrel::LastWriteFailure() != "Permission denied"; },
                      -1, true),
              End::Refused);
    EXPECT_EQ(ReadWholeFile(sReadOnly), "kept");
    if (bRoot) {
        struct stat oStat {};
        ASSERT_EQ(::stat(sReadOnly.c_str(), &oStat), 0);
        EXPECT_EQ(oStat.st_uid, 0U) << "the file is not taken over";
        // Another user's 0666 file in a sticky folder: it cannot be replaced, but it may be written.
        std::filesystem::create_directory(oDir.File("sticky"));
        ::chmod(oDir.File("sticky").c_str(), 01777);
        const std::string sShared = oDir.Write("sticky/shared.txt", "old");
        ::chmod(sShared.c_str(), 0666);
        EXPECT_EQ(InChild([&] { return quandrel::WriteFileAtomically(sShared, "written by another user"); }, -1, true),
                  End::Saved);
        EXPECT_EQ(ReadWholeFile(sShared), "written by another user");
    }
    // A file with a second name: both names see the new bytes.
    const std::string sFirst = oDir.Write("first.txt", "old");
    std::filesystem::create_hard_link(sFirst, oDir.File("second.txt"));
    ASSERT_TRUE(quandrel::WriteFileAtomically(sFirst, "new bytes"));
    EXPECT_EQ(ReadWholeFile(oDir.File("second.txt")), "new bytes");
    // A pipe nothing reads from is refused at once, not waited on.
    ASSERT_EQ(::mkfifo(oDir.File("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(quandrel::WriteFileAtomically(oDir.File("pipe"), "x"));
    EXPECT_EQ(quandrel::LastWriteFailure(), "nothing reads from the pipe");
    // A full disk is named.
    EXPECT_FALSE(quandrel::WriteFileAtomically("/dev/full", "x"));
    EXPECT_EQ(quandrel::LastWriteFailure(), "No space left on device");
}
