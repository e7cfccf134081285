// What the installed program finds on its own: the help it opens with F1, the help window's
// text from a start in any folder, Qt's texts in Russian; and the log window.

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QTranslator>
#include <map>

#include "UiTestSupport.h"
#include "text/Encoding.h"
#include "ui/Translations.h"
#include "ui/unLog.h"

namespace kvado::ui::test {
namespace {

void writeFile(const QString& path, const std::string& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

struct HelpCase {
    const char* name;
    std::vector<const char*> present; // files made, relative to the prefix
    const char* opened;               // relative to the prefix; "" for none
};

class HelpTarget : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpTarget, HelpFileFirstThenTheGuideFromTheDataFolderThenBesideTheProgram) {
    InTempFolder prefix;
    for (const char* f : GetParam().present)
        writeFile(prefix.path(f), "x");
    const QString bin = prefix.path("bin");
    const QString target = findHelpTarget(helpFileCandidates(bin), userGuideCandidates(bin));
    EXPECT_EQ(target, *GetParam().opened ? prefix.path(GetParam().opened) : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpTarget,
    ::testing::Values(
        HelpCase{"Nothing", {}, ""},
        HelpCase{"GuideInstalled", {"share/kvado/help/index.html"}, "share/kvado/help/index.html"},
        HelpCase{"GuideBesideTheProgram", {"bin/help/index.html"}, "bin/help/index.html"},
        HelpCase{"InstalledGuideBeforeTheOneBeside",
                 {"bin/help/index.html", "share/kvado/help/index.html"},
                 "share/kvado/help/index.html"},
        HelpCase{"HelpFileBeforeAnyGuide",
                 {"share/kvado/help/index.html", "bin/PRIMER.HLP"},
                 "bin/PRIMER.HLP"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HelpTarget, NotFoundTextNamesBothSearches) {
    EXPECT_EQ(helpNotFoundText({"/a/PRIMER.HLP"}, {"/a/help/index.html"}),
              u("Файл справки PRIMER.HLP не найден.\r\nОн искался здесь:\r\n/a/PRIMER.HLP\r\n"
                "Руководство пользователя тоже не найдено:\r\n/a/help/index.html"));
}

struct TextCase {
    const char* name;
    std::vector<const char*> present; // "cwd", "bin" or "share"
    const char* read;                 // the memo's first line
};

class HelpTextLookup : public ::testing::TestWithParam<TextCase> {};

TEST_P(HelpTextLookup, CurrentFolderThenBesideTheProgramThenTheDataFolder) {
    InTempFolder prefix; // also the current folder
    const std::map<std::string, QString> place{{"cwd", prefix.path("Kvado.txt")},
                                               {"bin", prefix.path("bin/Kvado.txt")},
                                               {"share", prefix.path("share/kvado/Kvado.txt")}};
    for (const char* where : GetParam().present)
        writeFile(place.at(where), std::string(where) + "\r\n");
    RecorderToolkit toolkit;
    TForm2 help(toolkit, nullptr, helpTextCandidates(prefix.path("bin")));
    if (*GetParam().read) {
        EXPECT_EQ(toolkit.entries(), std::vector<Entry>{});
        EXPECT_EQ(help.memoLines(), QStringList{u(GetParam().read)});
    } else {
        // Nowhere: the error names the file as in the current folder.
        ASSERT_EQ(toolkit.entries().size(), 1u);
        EXPECT_TRUE(toolkit.entries()[0].text.startsWith(u("Cannot open file \"Kvado.txt\"")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpTextLookup,
    ::testing::Values(TextCase{"Nowhere", {}, ""}, TextCase{"DataFolder", {"share"}, "share"},
                      TextCase{"BesideBeforeDataFolder", {"share", "bin"}, "bin"},
                      TextCase{"CurrentFolderFirst", {"share", "bin", "cwd"}, "cwd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtTranslation, QtDialogsSpeakRussianUnderEveryLocale) {
    QTranslator* translator = installQtRussian(*QCoreApplication::instance());
    ASSERT_NE(translator, nullptr) << "qt6-translations-l10n is not installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), u("Отмена"));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), u("Look in:"));
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

TEST(LogWindow, ShowsTheLogDecodedReadOnlyInFixedPitch) {
    InTempFolder folder;
    const std::string line1 = "Конец фазы 1", line2 = "  X[2] = 0.5";
    writeFile(folder.path("Kvaq.log"),
              *text::utf8ToCp1251(line1) + "\r\n" + *text::utf8ToCp1251(line2) + "\r\n");
    RecorderToolkit toolkit;
    TfrmLog log(toolkit);
    log.showLog(folder.path("Kvaq.log"));
    EXPECT_EQ(toolkit.entries(), (std::vector<Entry>{{Kind::Modal, u("TfrmLog")}}));
    EXPECT_EQ(log.text(), QString::fromStdString(line1 + "\n" + line2 + "\n"));
    EXPECT_TRUE(log.MemoLog->isReadOnly());
    EXPECT_TRUE(QFontInfo(log.MemoLog->font()).fixedPitch());

    // No solve yet in that folder: a message, not an empty window.
    toolkit.clear();
    log.showLog(folder.path("none/Kvaq.log"));
    ASSERT_EQ(toolkit.entries().size(), 1u);
    EXPECT_EQ(toolkit.entries()[0].kind, Kind::Message);
}

TEST(LogWindow, ALargeLogKeepsItsBeginningAndItsEndAtLineEnds) {
    std::string bytes;
    for (int k = 0; k < 100; ++k)
        bytes += "line " + std::to_string(k) + "\r\n";
    const QString shown = logViewText(bytes, 200);
    const QStringList lines = shown.split(QLatin1Char('\n'));
    EXPECT_EQ(lines.first(), u("line 0"));
    EXPECT_EQ(lines.at(lines.size() - 2), u("line 99"));
    EXPECT_TRUE(shown.contains(u("пропущено")));
    EXPECT_LT(shown.size(), 260);
    for (const QString& l : lines) // no line is cut in the middle
        EXPECT_TRUE(l.isEmpty() || l.startsWith(u("line ")) || l.contains(u("пропущено")))
            << l.toStdString();
    EXPECT_EQ(logViewText(bytes, bytes.size()).count(QLatin1Char('\n')), 100);
}

} // namespace
} // namespace kvado::ui::test
