#include "runtime/Diagnosis.h"

#include "launcher/Configuration.h"
#include "runtime/DiagnosticReport.h"
#include "runtime/RuntimeFakes.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

namespace kanne {

namespace {
using test::addRuntimeHome;
using test::existingFiles;
using test::FakeRegistry;

StringList listOf(std::initializer_list<const char*> items)
{
    StringList list;
    for (const char* item : items)
        list.add(item);
    return list;
}

DiscoveryPlace besideApp()
{
    DiscoveryPlace place;
    place.executableFolderKnown = true;
    place.executableFolder = "C:\\App\\";
    return place;
}

std::string reportOf(const DiscoverySettings& settings, FakeRegistry& registry)
{
    Discovery discovery = discoverRuntime(settings, besideApp(), registry, DiscoveryScope::Everything,
                                          test::fakeFileExists, test::singleByteStep);
    DiagnosisFacts facts;
    facts.executable = "C:\\App\\app.exe";
    facts.configuration = "C:\\App\\app.ini";
    facts.chainMilliseconds = 1.234;
    facts.fullMilliseconds = 12.5;
    return formatDiagnosticReport(facts, settings, &discovery);
}

// Each expected text must appear, in this order.
void expectInOrder(const std::string& report, std::initializer_list<const char*> texts)
{
    std::size_t pos = 0;
    for (const char* text : texts) {
        std::size_t found = report.find(text, pos);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << text << "\n" << report;
        pos = found + std::string_view(text).size();
    }
}
} // namespace

TEST(Diagnosis, TheSwitchIsTakenFromTheArguments)
{
    struct Case {
        StringList arguments;
        bool requested;
        const char* reportFile;
        StringList remaining;
    };
    const Case cases[] = {
        {listOf({"a", "b"}), false, "", listOf({"a", "b"})},
        {listOf({"--kanne-diagnose"}), true, "", listOf({})},
        {listOf({"x", "--kanne-diagnose=C:\\r.txt", "y"}), true, "C:\\r.txt", listOf({"x", "y"})},
        {listOf({"--kanne-diagnose=C:\\my folder\\r.txt"}), true, "C:\\my folder\\r.txt", listOf({})},
        {listOf({"--kanne-diagnose=a", "--kanne-diagnose=b"}), true, "b", listOf({})}, // the last decides
        {listOf({"--kanne-diagnose=a", "--kanne-diagnose"}), true, "", listOf({})},
        {listOf({"--kanne-diagnose="}), true, "", listOf({})},
        // Only the exact switch counts.
        {listOf({"--Kanne-Diagnose", "-kanne-diagnose", "--kanne-diagnosex", "/kanne-diagnose"}), false, "",
         listOf({"--Kanne-Diagnose", "-kanne-diagnose", "--kanne-diagnosex", "/kanne-diagnose"})},
    };
    for (const Case& c : cases) {
        StringList arguments = c.arguments;
        DiagnoseRequest request = takeDiagnoseSwitch(arguments);
        std::string trace = c.arguments.empty() ? "" : c.arguments[0];
        EXPECT_EQ(request.requested, c.requested) << trace;
        EXPECT_EQ(request.reportFile, c.reportFile) << trace;
        EXPECT_TRUE(arguments == c.remaining) << trace;
    }
}

TEST(Diagnosis, TheReportTellsEverySourceEveryEntryAndTheChoice)
{
    existingFiles().clear();
    addRuntimeHome("C:\\jdk15\\jre\\", {"server"});
    addRuntimeHome("C:\\jre16\\", {"client", "server"});
    addRuntimeHome("C:\\jre14\\", {"client"});
    FakeRegistry registry;
    registry.addHome(RuntimeKind::Jdk, "1.5.0_11", "C:\\jdk15");
    registry.add(RuntimeKind::Jre, {{"1.6.0_05", test::text("C:\\jre16")},
                                    {"1.4.2_19", test::text("C:\\jre14")},
                                    {"1.3.1", test::text("C:\\jre13")},
                                    {"1.5", {}},
                                    {"1.5.0", {ValueType::NotText, ""}},
                                    {"1.6", test::text("jre16")},
                                    {"1.9", test::text("C:\\jre19")}});

    DiscoverySettings settings;
    settings.jrePath = "C:\\Nowhere";
    settings.jvmType = JvmType::FavorServer;
    settings.minVersion = VersionNumber::parsed("1.4", VersionNumber::lowestFill);
    settings.maxVersion = VersionNumber::parsed("1.6", VersionNumber::highestFill);
    splitString(settings.preferredVersions, "1.4", ";");
    std::string report = reportOf(settings, registry);

    expectInOrder(report, {
        "Kanne runtime diagnosis\r\n",
        "Executable:         C:\\App\\app.exe\r\n",
        "Configuration file: C:\\App\\app.ini\r\n",
        "JRE Path:           C:\\Nowhere\r\n",
        "JVM Type:           favor_server: server, then client, classic, hotspot\r\n",
        "JVM Source:         JDKs and JREs alike\r\n",
        "Minimum Version:    1.4\r\n",
        "Maximum Version:    1.6\r\n",
        "Preferred versions: 1.4\r\n",
        "1. \"JRE Path\": C:\\Nowhere\\: no JVM library of the wanted flavour (server, then client, classic, hotspot)\r\n",
        "2. Beside the executable (C:\\App\\ or its jre\\ subfolder): no runtime, no bin\\java.dll in either\r\n",
        "3. Registered runtimes (HKEY_LOCAL_MACHINE, ",
        "   Software\\JavaSoft\\Java Development Kit: 1 subkey\r\n",
        "1.5.0_11  JDK  server   candidate: C:\\jdk15\\jre\\bin\\server\\jvm.dll\r\n",
        "   Software\\JavaSoft\\Java Runtime Environment: 7 subkeys\r\n",
        // A JRE is probed client first under favor_server.
        "1.6.0_05  JRE  client   candidate: C:\\jre16\\bin\\client\\jvm.dll\r\n",
        "1.4.2_19  JRE  client   candidate: C:\\jre14\\bin\\client\\jvm.dll\r\n",
        "1.3.1     JRE  skipped: below the minimum version 1.4\r\n",
        "1.5       JRE  skipped: no \"JavaHome\" value\r\n",
        "1.5.0     JRE  skipped: \"JavaHome\" is not a string value\r\n",
        "1.6       JRE  skipped: \"JavaHome\" is not a full path: jre16\\\r\n",
        "1.9       JRE  skipped: above the maximum version 1.6\r\n",
        "   Ranking, best first (server VMs first, then newest version first; equals in scan order):\r\n",
        "     1.    1.5.0_11  JDK  server   C:\\jdk15\\jre\\\r\n",
        "     2.    1.6.0_05  JRE  client   C:\\jre16\\\r\n",
        "     3.    1.4.2_19  JRE  client   C:\\jre14\\\r\n",
        "   Chosen: 1.4.2_19 (JRE), the best candidate matching the preferred version \"1.4\"\r\n",
        "   Probed with \"JVM Type\": C:\\jre14\\: found C:\\jre14\\bin\\client\\jvm.dll\r\n",
        "Result: C:\\jre14\\bin\\client\\jvm.dll (from the registry)\r\n",
        "Discovery as a launch runs it took 1.23 ms.\r\n",
        "Examining every source for this report took 12.50 ms.\r\n",
    });
}

TEST(Diagnosis, TheReportTellsExcludedKindsReversedBoundsAndFailure)
{
    existingFiles().clear();
    addRuntimeHome("C:\\jdk15\\jre\\", {"client"});
    FakeRegistry registry;
    registry.addHome(RuntimeKind::Jdk, "1.5.0_11", "C:\\jdk15");
    registry.addHome(RuntimeKind::Jre, "1.6\x01\nx", "C:\\jre16");

    DiscoverySettings settings;
    settings.bothKinds = false;
    settings.favorJre = true; // only_JRE
    settings.minVersion = VersionNumber::parsed("1.7", VersionNumber::lowestFill);
    settings.maxVersion = VersionNumber::parsed("1.5", VersionNumber::highestFill);
    std::string report = reportOf(settings, registry);

    expectInOrder(report, {
        "JRE Path:           (not set)\r\n",
        "JVM Type:           default: client, classic, hotspot, then server\r\n",
        "JVM Source:         only_JRE: JREs only\r\n",
        "Preferred versions: none\r\n",
        "Note: the minimum version lies above the maximum version; no registered runtime can match.\r\n",
        "1. \"JRE Path\": not set\r\n",
        "   Software\\JavaSoft\\Java Development Kit: not scanned, \"JVM Source\" excludes JDKs; 1 subkey, listed for information\r\n",
        "1.5.0_11  JDK  skipped: kind excluded by \"JVM Source\"\r\n",
        "   Software\\JavaSoft\\Java Runtime Environment: 1 subkey\r\n",
        "1.6??x    JRE  skipped: below the minimum version 1.7\r\n", // control characters made visible
        "   No candidate.\r\n",
        "Result: no JVM library found; a launch would end here with exit code -1.\r\n",
    });
}

TEST(Diagnosis, AnUnreadableConfigurationIsReportedWithoutDiscovery)
{
    DiagnosisFacts facts;
    facts.settingsRead = false;
    std::string report = formatDiagnosticReport(facts, DiscoverySettings{}, nullptr);
    expectInOrder(report, {"Executable:         (unknown)\r\n", "Configuration file: (none)\r\n",
                           "runtime discovery was not run.\r\n", "exit code -1.\r\n"});
    EXPECT_EQ(report.find("JRE Path:"), std::string::npos);
}

TEST(Diagnosis, FlavourIsReadFromTheLibraryPath)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\j\\bin\\server\\jvm.dll", "server"}, {"C:\\j\\bin\\client\\jvm.dll", "client"},
        {"C:\\j\\bin\\classic\\jvm.dll", "classic"}, {"C:\\j\\bin\\hotspot\\jvm.dll", "hotspot"},
        {"", ""}, {"jvm.dll", ""},
    };
    for (const auto& [path, flavour] : cases)
        EXPECT_STREQ(flavourOf(path), flavour) << path;
}

} // namespace kanne
