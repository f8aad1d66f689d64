// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <filesystem>

#include "datatool/SampleFolder.h"
#include "export/SaveChartImage.h"
#include "gui/AboutBox.h"
#include "gui/MainWindow.h"
#include "gui/StatusBar.h"
#include "gui/Viewer.h"
#include "tests/support/RecordedMessages.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

MainWindow* FindMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<MainWindow*>(widget))
            return window;
    }
    return nullptr;
}

void Choose(QComboBox* selector, int index) {
    selector->setCurrentIndex(index);
    emit selector->activated(index);
}

// What the scripted user saw.
struct SessionLog {
    int classesTried = 0;
    int starsChosen = 0;
    int yearsChosen = 0;
    int savedFiles = 0;
    int ownedByTheWindow = 0;  // of the saved files' messages
    bool aboutShown = false;
    QStringList statuses;
};

// The user's session, run from inside the event loop: stars of three classes, two years each,
// every Save and Export command, the About box, then the window is closed.
void RunScript(SessionLog& log, RecordedMessages& messages) {
    MainWindow* window = FindMainWindow();
    ASSERT_NE(window, nullptr);
    window->Status()->SetObserver([&log](int part, const QString& text) {
        if (part == 0)
            log.statuses << text;
    });
    ::Toolbar& toolbar = *window->Toolbar();
    QComboBox* classes = toolbar.OrbitClassSelector();
    for (int index = 0; index < classes->count() && log.classesTried < 3; ++index) {
        Choose(classes, index);
        if (toolbar.StarSelector()->count() == 0)
            continue;
        ++log.classesTried;
        Choose(toolbar.StarSelector(), toolbar.StarSelector()->count() - 1);
        ++log.starsChosen;
        for (int year : {2005, 2012}) {
            Choose(toolbar.YearSelector(), toolbar.YearSelector()->findData(year - 1900));
            ++log.yearsChosen;
        }
    }
    for (int offset = 0; offset < MenuCommand::kChartCount; ++offset) {
        window->Command(MenuCommand::kFirstSave + offset);
        window->Command(MenuCommand::kFirstExport + offset);
    }
    for (const auto& message : messages.messages) {
        log.savedFiles += message.Text == kSavedMessage ? 1 : 0;
        log.ownedByTheWindow += message.Text == kSavedMessage && message.Owner == window ? 1 : 0;
    }
    QTimer::singleShot(0, [&log] {
        if (auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget())) {
            log.aboutShown = true;
            about->close();
        }
    });
    window->Command(MenuCommand::kAbout);
    window->close();
}

}  // namespace

// A whole session of the program on the sample folder, from start-up to the window's close:
// under the sanitizer build it must end with exit code 0 and no report.
TEST(ScriptedSession, StarsOfThreeClassesTwoYearsEverySaveAndExportAboutAndClose) {
    const std::filesystem::path working = std::filesystem::current_path();
    TempFolder folder;
    SampleReport report;
    std::string error;
    ASSERT_TRUE(BuildSampleFolder(folder.Path(), report, error, {})) << error;

    RecordedMessages messages;
    SessionLog log;
    QTimer::singleShot(0, [&] { RunScript(log, messages); });
    const int exitCode = RunViewer(folder.Path(), messages);
    std::filesystem::current_path(working);

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(log.classesTried, 3);
    EXPECT_EQ(log.starsChosen, 3);
    EXPECT_EQ(log.yearsChosen, 6);
    EXPECT_TRUE(log.aboutShown);
    EXPECT_EQ(log.statuses.count("Wait..."), 9);
    EXPECT_EQ(log.statuses.back(), "Ready");
    // The last star chosen has passage data: every one of the 40 commands wrote its file.
    EXPECT_EQ(log.savedFiles, 40);
    EXPECT_EQ(log.ownedByTheWindow, 40);  // the message boxes of Save and Export
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "Images"))
        files += entry.path().extension() == ".jpg" ? 1 : 0;
    EXPECT_EQ(files, 40);
}
