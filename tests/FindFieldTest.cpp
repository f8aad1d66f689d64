// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QStringList>
#include <QTreeView>
#include <filesystem>
#include <fstream>

#include "cli/Startup.h"
#include "data/CatalogueQueries.h"
#include "gui/FindField.h"
#include "gui/InformationPanel.h"
#include "gui/MainWindow.h"
#include "gui/StarListView.h"
#include "gui/StatusBar.h"
#include "tests/SubcommandRun.h"
#include "tests/support/RecordedMessages.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

// Runs the event loop until `done`, for at most `guardSeconds`: the guard only keeps a test that
// hangs from stalling the suite, far above any normal duration; no time is checked.
template <typename Done>
bool WaitFor(Done done, int guardSeconds = 120) {
    QElapsedTimer guard;
    guard.start();
    while (!done()) {
        if (guard.elapsed() > guardSeconds * 1000)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void Type(QWidget* field, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
}

void Press(QWidget* field, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(field, &press);
}

// The texts of the list's rows, a row's columns joined by " | ".
QStringList ListedRows(const FindField& field) {
    const QAbstractItemModel* model = field.MatchList()->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        rows << cells.join(" | ");
    }
    return rows;
}

void SetFullNames(const std::string& catalogue,
                  const std::vector<std::pair<SpkId, const char*>>& names) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(catalogue.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "ALTER TABLE [AllStars] ADD COLUMN [FullName] TEXT", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    for (const auto& [id, name] : names) {
        const std::string update = "UPDATE [AllStars] SET [FullName] = '" + std::string(name) +
                                   "' WHERE [SpkId] = " + std::to_string(id);
        ASSERT_EQ(sqlite3_exec(db, update.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_close(db);
}

struct FindFieldTest : ::testing::Test {
    std::filesystem::path working = std::filesystem::current_path();
    TempFolder folder;
    RecordedMessages messages;
    void TearDown() override { std::filesystem::current_path(working); }

    static FindField& Field(MainWindow& window) { return *window.Toolbar()->FindField(); }
    // Types `text` into an emptied field and waits for the index the first time.
    static void TypeAfresh(FindField& field, const QString& text) {
        field.clear();
        Type(&field, text);
        ASSERT_TRUE(WaitFor([&] { return field.IndexReady() || !field.IndexProblem().isEmpty(); }));
    }
};

}  // namespace

// The field stands right of the three selectors, which keep their places; Ctrl+F gives it the
// focus. Typing lists what matches, with class and file mark; Enter chooses the star, from its
// own class when the class shown does not list it, as the star selector does.
TEST_F(FindFieldTest, TypingFindsAStarOfAnotherClassAndEnterChoosesIt) {
    auto star = [](SpkId id, const char* name, int type, int datas) {
        TestData::Star s;
        s.Id = id;
        s.Name = name;
        s.OrbiteType = type;
        s.DatasForIt = datas;
        return s;
    };
    TestData::MakeProgramFolder(
        folder.Path(),
        {{0, "All stars"}, {1, "Main-belt Asteroid"}, {5, "Amor"}, {15, "Halley-type Comet"}},
        {star(2000001, "Ceres", 1, 1), star(2000433, "Eros", 5, 1), star(2002688, "Halley", 1, 0),
         star(1000036, "1P/Halley", 15, 0)},
        {TestData::NvrFile::Daily(2000001, 2001, 2002),
         TestData::NvrFile::Daily(2000433, 2001, 2002)});
    SetFullNames(folder / "Nivra.db", {{2000001, "1 Ceres (A801 AA)"},
                                       {2000433, "433 Eros (A898 PA)"},
                                       {2002688, "2688 Halley (1982 HG1)"},
                                       {1000036, "1P/Halley"}});
    std::unique_ptr<Session> session = Startup(folder.Path(), messages).session;
    ASSERT_TRUE(session);
    MainWindow window(*session, messages);
    window.resize(1400, 800);
    window.show();
    QApplication::processEvents();
    ::Toolbar& toolbar = *window.Toolbar();
    FindField& field = Field(window);
    EXPECT_EQ(field.geometry().left(), ::Toolbar::kFindX);
    EXPECT_GE(field.geometry().left(), ::Toolbar::kYearX + ::Toolbar::kYearWidth);
    EXPECT_EQ(toolbar.OrbitClassSelector()->geometry().left(), ::Toolbar::kOrbitClassX);
    EXPECT_EQ(toolbar.StarSelector()->geometry().left(), ::Toolbar::kStarX);
    EXPECT_EQ(toolbar.YearSelector()->geometry().left(), ::Toolbar::kYearX);

    QShortcut* find = nullptr;
    for (QShortcut* shortcut : window.findChildren<QShortcut*>()) {
        if (shortcut->key() == QKeySequence("Ctrl+F"))
            find = shortcut;
    }
    ASSERT_NE(find, nullptr);
    emit find->activated();
    EXPECT_EQ(window.focusWidget(), &field);

    // Main-belt asteroids shown: Eros is not among them.
    const int mainBelt = toolbar.OrbitClassSelector()->findData(1);
    toolbar.OrbitClassSelector()->setCurrentIndex(mainBelt);
    emit toolbar.OrbitClassSelector()->activated(mainBelt);
    ASSERT_EQ(toolbar.StarSelector()->findData(2000433), -1);

    TypeAfresh(field, "halley");
    EXPECT_TRUE(field.ListShown());
    EXPECT_EQ(ListedRows(field),
              QStringList({"1P/Halley | Halley-type Comet | no file",
                           "2688 Halley (1982 HG1) | Main-belt Asteroid | no file"}));
    EXPECT_EQ(field.CountLine()->text(), "2 bodies");
    TypeAfresh(field, "a8");  // both designations start so: Ceres first, by its SPK-ID
    EXPECT_EQ(ListedRows(field), QStringList({"1 Ceres (A801 AA) | Main-belt Asteroid | ",
                                              "433 Eros (A898 PA) | Amor | "}));
    TypeAfresh(field, "zz");
    EXPECT_TRUE(ListedRows(field).isEmpty());
    EXPECT_EQ(field.CountLine()->text(), "No body matches \"zz\"");
    TypeAfresh(field, "-/");
    EXPECT_TRUE(ListedRows(field).isEmpty());
    EXPECT_EQ(field.CountLine()->text(), "Type a number, a name, a designation or an SPK-ID");
    Press(&field, Qt::Key_Escape);
    EXPECT_FALSE(field.ListShown());

    QStringList statuses;
    window.Status()->SetObserver([&](int part, const QString& text) {
        if (part == 0)
            statuses << text;
    });
    TypeAfresh(field, "A8");
    Press(&field, Qt::Key_Down);
    Press(&field, Qt::Key_Return);
    EXPECT_FALSE(field.ListShown());
    ASSERT_NE(window.Star().Star(), nullptr);
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000433u);
    ASSERT_FALSE(statuses.isEmpty());
    EXPECT_EQ(statuses.front(), "Wait...");
    EXPECT_EQ(statuses.back(), "Ready");
    EXPECT_EQ(toolbar.SelectedOrbitClass(), 5);  // Amor, Eros's own class
    EXPECT_EQ(toolbar.SelectedSpkId(), 2000433u);
    EXPECT_EQ(window.TitleInputs().SelectedStarName, "Eros");
    EXPECT_NE(window.InfoPanel()->CellText(0, 1), "0.00");
    const QModelIndex current = window.StarList()->currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(window.StarList()->model()->index(current.row(), 0).data().toString(), "2000433");

    // A star the class shown lists is chosen there; a click chooses as Enter does.
    const int all = toolbar.OrbitClassSelector()->findData(0);
    toolbar.OrbitClassSelector()->setCurrentIndex(all);
    emit toolbar.OrbitClassSelector()->activated(all);
    TypeAfresh(field, "ceres");
    const QRect first = field.MatchList()->visualRect(field.MatchList()->model()->index(0, 0));
    QMouseEvent click(QEvent::MouseButtonRelease, first.center(),
                      field.MatchList()->viewport()->mapToGlobal(first.center()), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QMouseEvent down(QEvent::MouseButtonPress, first.center(),
                     field.MatchList()->viewport()->mapToGlobal(first.center()), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field.MatchList()->viewport(), &down);
    QApplication::sendEvent(field.MatchList()->viewport(), &click);
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000001u);
    EXPECT_EQ(toolbar.SelectedOrbitClass(), 0);
    EXPECT_EQ(toolbar.SelectedSpkId(), 2000001u);
    EXPECT_TRUE(messages.messages.empty());
}

// The list shows what fits in the window under the field, and counts every match; a catalogue
// whose bodies cannot be read says so in the list.
TEST_F(FindFieldTest, TheListHoldsAScreenfulAndCountsEveryMatch) {
    std::vector<TestData::Star> stars;
    for (SpkId i = 1; i <= 300; ++i) {
        TestData::Star star;
        star.Id = 2000000 + i;
        star.Name = "Body " + std::to_string(i);
        stars.push_back(star);
    }
    TestData::MakeProgramFolder(folder.Path(), {{1, "Main-belt Asteroid"}}, stars, {});
    std::unique_ptr<Session> session = Startup(folder.Path(), messages).session;
    ASSERT_TRUE(session);
    {
        MainWindow window(*session, messages);
        window.resize(1200, 500);
        window.show();
        QApplication::processEvents();
        FindField& field = Field(window);
        TypeAfresh(field, "body");
        const int rows = field.MatchList()->model()->rowCount();
        EXPECT_GT(rows, 3);
        EXPECT_LT(rows, 300);
        EXPECT_EQ(field.CountLine()->text(), QString("%1 of 300 bodies").arg(rows));
        const QWidget* panel = field.MatchList()->parentWidget();
        EXPECT_LE(panel->geometry().bottom(), panel->parentWidget()->height());
        EXPECT_EQ(field.Shown().front().FullName, "Body 1");
        // Up and Down keep to the list.
        for (int i = 0; i < rows + 5; ++i)
            Press(&field, Qt::Key_Down);
        EXPECT_EQ(field.MatchList()->currentIndex().row(), rows - 1);
        Press(&field, Qt::Key_PageUp);
        EXPECT_EQ(field.MatchList()->currentIndex().row(), 0);
        // A smaller window: the list keeps within it.
        window.resize(1200, 400);
        QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_LT(field.MatchList()->model()->rowCount(), rows);
        EXPECT_LE(panel->geometry().bottom(), panel->parentWidget()->height());
        EXPECT_TRUE(field.CountLine()->text().endsWith(" of 300 bodies"));
        // A click elsewhere closes it.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.Page(0), &press);
        EXPECT_FALSE(field.ListShown());
    }
    sqlite3_exec(session->Database().Handle(), "DROP TABLE [AllStars]", nullptr, nullptr, nullptr);
    MainWindow window(*session, messages);
    window.show();
    FindField& field = Field(window);
    TypeAfresh(field, "body");
    EXPECT_FALSE(field.IndexReady());
    EXPECT_EQ(field.CountLine()->text(), "The bodies cannot be searched: no such table: AllStars");
}

namespace {

// A program folder made by nivra-data from an SBDB export: Ceres and Eros with their files,
// Apophis (an Aten) without one.
struct ComputedFolder {
    TempFolder folder;
    std::string catalogue = folder / "Nivra.db";
    ComputedFolder() {
        std::ofstream(folder / "sbdb.json")
            << R"js({"fields":["spkid","full_name","e","q","i","om","w","ma","epoch_mjd","class","neo","pha"],
"data":[["2000001","     1 Ceres (A801 AA)",".0786","2.549","10.59","80.27","73.53","334.33","59800","MBA","N","N"],
["2000433","   433 Eros (A898 PA)",".2228","1.133","10.83","304.3","178.9","110.8","59800","AMO","Y","N"],
["2099942","99942 Apophis (2004 MN4)",".1915","0.7461","3.339","203.96","126.60","180.0","59800","ATE","Y","Y"],
["3791234","(2022 OU15)",".1","2.5","5","10","20","30","-40000","MBA","N","N"]]})js";
        const QString db = QString::fromStdString(catalogue);
        EXPECT_EQ(RunProgram(NIVRA_DATA_EXECUTABLE, {"catalogue", "--out", db,
                                                     QString::fromStdString(folder / "sbdb.json")})
                      .ExitCode,
                  0);
        EXPECT_EQ(RunProgram(NIVRA_DATA_EXECUTABLE,
                             {"ephemeris", "--catalogue", db, "--out",
                              QString::fromStdString(folder / "Datas"), "--from", "2000", "--to",
                              "2001", "--spk", "2000001", "2000433"})
                      .ExitCode,
                  0);
    }
};

}  // namespace

// A body without a file is offered for computing; nivra-data writes its file and marks it, and
// the viewer reads the new catalogue and chooses the star: "Wait..." to "Ready", its Infos, its
// row of the All Stars list, its own class.
TEST_F(FindFieldTest, ABodyWithoutAFileIsComputedAndChosen) {
    ComputedFolder sky;
    std::unique_ptr<Session> session = Startup(sky.folder.Path(), messages).session;
    ASSERT_TRUE(session);
    MainWindow window(*session, messages);
    window.SetDataTool(NIVRA_DATA_EXECUTABLE);
    window.show();
    FindField& field = Field(window);
    EXPECT_EQ(window.Status()->Text(2), "2 stars added");

    TypeAfresh(field, "2004mn4");
    ASSERT_EQ(ListedRows(field), QStringList({"99942 Apophis (2004 MN4) | Aten | no file"}));
    QStringList statuses;
    window.Status()->SetObserver([&](int part, const QString& text) {
        if (part == 0)
            statuses << text;
    });
    messages.answer = true;
    Press(&field, Qt::Key_Enter);
    ASSERT_EQ(messages.questions.size(), 1u);
    EXPECT_TRUE(messages.questions[0].startsWith("99942 Apophis (2004 MN4) has no ephemeris file."))
        << messages.questions[0].toStdString();
    EXPECT_TRUE(window.Computation().Running());
    EXPECT_TRUE(window.Status()->Text(MainWindow::kComputePart).startsWith("Computing"));
    ASSERT_TRUE(WaitFor([&] { return !window.Computation().Running(); }));

    EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart), "");
    EXPECT_EQ(window.Status()->Text(MainWindow::kComputePart),
              "99942 Apophis (2004 MN4) computed: 7,305 records");
    EXPECT_TRUE(std::filesystem::is_regular_file(sky.folder / "Datas/2099942.Nvr"));
    ASSERT_NE(window.Star().Star(), nullptr);
    EXPECT_EQ(window.Star().Star()->Header().Id, 2099942u);
    EXPECT_EQ(window.Star().Star()->Header().LastYear, 2019);
    ASSERT_FALSE(statuses.isEmpty());
    EXPECT_EQ(statuses.front(), "Wait...");
    EXPECT_EQ(statuses.back(), "Ready");
    EXPECT_EQ(window.Toolbar()->SelectedOrbitClass(), 7);  // Aten
    EXPECT_EQ(window.Toolbar()->SelectedSpkId(), 2099942u);
    EXPECT_NE(window.InfoPanel()->CellText(0, 1), "0.00");
    // The viewer reads the catalogue the data tool marked: the star is in the All Stars list,
    // and its perihelion passage can be read.
    EXPECT_EQ(window.Status()->Text(2), "3 stars added");
    const QModelIndex current = window.StarList()->currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(window.StarList()->model()->index(current.row(), 0).data().toString(), "2099942");
    EXPECT_TRUE(QueryPerihelion(session->Database(), 2099942));
    // The list marks it as having a file now.
    TypeAfresh(field, "apophis");
    EXPECT_EQ(ListedRows(field), QStringList({"99942 Apophis (2004 MN4) | Aten | "}));
}

// Declined, where the viewer cannot run the data tool, or when the tool fails, the status bar says
// why and how to make the file, and nothing else changes.
TEST_F(FindFieldTest, ADeclinedImpossibleOrFailedComputationSaysHowToMakeTheFile) {
    ComputedFolder sky;
    std::unique_ptr<Session> session = Startup(sky.folder.Path(), messages).session;
    ASSERT_TRUE(session);
    MainWindow window(*session, messages);
    window.SetDataTool(NIVRA_DATA_EXECUTABLE);
    window.show();
    FindField& field = Field(window);
    const std::string howTo = "To make it: nivra-data ephemeris --catalogue " + sky.catalogue +
                              " --out " + sky.folder.Path() + "/Datas --spk 2099942";

    messages.answer = false;
    TypeAfresh(field, "apophis");
    Press(&field, Qt::Key_Return);
    EXPECT_EQ(messages.questions.size(), 1u);
    EXPECT_FALSE(window.Computation().Running());
    EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart),
              "99942 Apophis (2004 MN4) has no ephemeris file");
    EXPECT_EQ(window.Status()->Text(MainWindow::kComputePart).toStdString(), howTo);
    EXPECT_EQ(window.Star().Star(), nullptr);
    EXPECT_EQ(window.Status()->Text(0), "Welcome");

    window.SetDataTool(QString::fromStdString(sky.folder / "nivra-data"));
    TypeAfresh(field, "apophis");
    Press(&field, Qt::Key_Return);
    EXPECT_EQ(messages.questions.size(), 1u);  // not asked
    EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart).toStdString(),
              "99942 Apophis (2004 MN4) has no ephemeris file, and the viewer cannot compute it: "
              "nivra-data is not installed beside the viewer (" +
                  sky.folder.Path() + "/nivra-data)");
    EXPECT_EQ(window.Status()->Text(MainWindow::kComputePart).toStdString(), howTo);
    EXPECT_FALSE(std::filesystem::exists(sky.folder / "Datas/2099942.Nvr"));
    EXPECT_EQ(window.Star().Star(), nullptr);

    // Elements of 1749: the tool names the body and says why it cannot compute it (exit 3).
    window.SetDataTool(NIVRA_DATA_EXECUTABLE);
    messages.answer = true;
    TypeAfresh(field, "2022 OU15");
    Press(&field, Qt::Key_Return);
    EXPECT_EQ(messages.questions.size(), 2u);
    ASSERT_TRUE(WaitFor([&] { return !window.Computation().Running(); }));
    const QString problem = window.Status()->Text(MainWindow::kProblemPart);
    EXPECT_TRUE(problem.startsWith("(2022 OU15) has no ephemeris file: 3791234 (2022 OU15): "))
        << problem.toStdString();
    EXPECT_TRUE(problem.contains("1800")) << problem.toStdString();
    EXPECT_TRUE(window.Status()->Text(MainWindow::kComputePart).endsWith("--spk 3791234"));
    EXPECT_FALSE(std::filesystem::exists(sky.folder / "Datas/3791234.Nvr"));
    EXPECT_EQ(window.Star().Star(), nullptr);
    EXPECT_TRUE(messages.messages.empty());
}
