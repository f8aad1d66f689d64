// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QKeyEvent>
#include <QStringList>
#include <filesystem>

#include "cli/Startup.h"
#include "data/CatalogueQueries.h"
#include "data/CatalogueText.h"
#include "gui/InformationPanel.h"
#include "gui/MainWindow.h"
#include "gui/SortedChoices.h"
#include "gui/StarListView.h"
#include "gui/StatusBar.h"
#include "tests/support/RecordedMessages.h"
#include "tests/support/TestData.h"

using TestData::NvrFile;
using TestData::Star;
using TestData::TempFolder;

namespace {

// Five stars in two classes; 2000005 has no file, 2000004 has a file but no data mark.
struct ToolbarTest : ::testing::Test {
    std::filesystem::path working = std::filesystem::current_path();
    TempFolder folder;
    RecordedMessages messages;
    std::unique_ptr<Session> session;

    static Star MakeStar(std::uint32_t id, const char* name, int type, int neo, int pha,
                         int datas) {
        Star star;
        star.Id = id;
        star.Name = name;
        star.OrbiteType = type;
        star.OrbiteTypeNeo = neo;
        star.OrbiteTypePha = pha;
        star.DatasForIt = datas;
        return star;
    }

    void SetUp() override {
        const std::vector<Star> stars = {
            MakeStar(2000003, "Juno", 2, 0, 0, 1),    MakeStar(2000001, "Ceres", 2, 0, 0, 1),
            MakeStar(2000433, "Eros", 5, 1, 0, 1),    MakeStar(2000004, "Vesta", 2, 0, 0, 0),
            MakeStar(2000005, "Astraea", 2, 0, 0, 1), MakeStar(2101955, "Bennu", 6, 1, 1, 1)};
        std::vector<NvrFile> files;
        for (std::uint32_t id : {2000001u, 2000003u, 2000004u, 2000433u, 2101955u})
            files.push_back(NvrFile::Daily(id, 2001, 2003));
        TestData::MakeProgramFolder(folder.Path(),
                                    {{0, "All stars"},
                                     {19, "Near-Earth Objects"},
                                     {25, "Potentially Hazardous Asteroids"},
                                     {2, "Main-belt Asteroid"},
                                     {5, "Amor"},
                                     {6, "Apollo"}},
                                    stars, files);
        session = Startup(folder.Path(), messages).session;
        ASSERT_TRUE(session);
    }
    void TearDown() override { std::filesystem::current_path(working); }

    static QStringList Texts(const QComboBox* selector) {
        QStringList texts;
        for (int i = 0; i < selector->count(); ++i)
            texts << selector->itemText(i);
        return texts;
    }
    static std::vector<qint64> Data(const QComboBox* selector) {
        std::vector<qint64> data;
        for (int i = 0; i < selector->count(); ++i)
            data.push_back(selector->itemData(i).toLongLong());
        return data;
    }
    // Chooses an item as the user does: the selection changes and "activated" comes once.
    static void Choose(QComboBox* selector, int index) {
        selector->setCurrentIndex(index);
        emit selector->activated(index);
    }
    static int IndexOfData(const QComboBox* selector, qint64 data) {
        return selector->findData(data);
    }
};

}  // namespace

TEST_F(ToolbarTest, StartsWithTheFirstClassItsStarsAndAllYearsButNoStar) {
    MainWindow window(*session, messages);
    ::Toolbar& toolbar = *window.Toolbar();
    EXPECT_EQ(toolbar.objectName(), "NVR_TOOLBAR");
    EXPECT_EQ(Texts(toolbar.OrbitClassSelector()),
              QStringList({"All stars", "Amor", "Apollo", "Main-belt Asteroid",
                           "Near-Earth Objects", "Potentially Hazardous Asteroids"}));
    EXPECT_EQ(Data(toolbar.OrbitClassSelector()), (std::vector<qint64>{0, 5, 6, 2, 19, 25}));
    EXPECT_EQ(toolbar.SelectedOrbitClass(), 0);
    EXPECT_EQ(window.Status()->Text(1), "6 orbites added");

    // Class 0: every star with a file, also one without the data mark, sorted by name.
    EXPECT_EQ(Texts(toolbar.StarSelector()),
              QStringList({"Bennu", "Ceres", "Eros", "Juno", "Vesta"}));
    EXPECT_EQ(Data(toolbar.StarSelector()),
              (std::vector<qint64>{2101955, 2000001, 2000433, 2000003, 2000004}));
    EXPECT_EQ(toolbar.SelectedSpkId(), 2101955u);
    EXPECT_EQ(toolbar.SelectedStarName(), std::optional<std::string>("Bennu"));

    EXPECT_EQ(toolbar.YearSelector()->count(), 121);
    EXPECT_EQ(toolbar.YearSelector()->itemText(0), "(All years)");
    EXPECT_EQ(toolbar.YearSelector()->itemText(1), "From 1900/1/1 to 2019/12/31");
    EXPECT_EQ(toolbar.YearSelector()->itemText(120), "From 2019/1/1 to 2019/12/31");
    EXPECT_EQ(toolbar.YearSelector()->itemData(0).toLongLong(), 0);
    EXPECT_EQ(toolbar.YearSelector()->itemData(1).toLongLong(), 0);
    EXPECT_EQ(toolbar.YearSelector()->itemData(120).toLongLong(), 119);
    EXPECT_EQ(toolbar.SelectedYear(), 0);

    EXPECT_EQ(window.Star().Star(), nullptr);  // nothing is loaded until a choice
    EXPECT_EQ(window.Status()->Text(0), "Welcome");
}

TEST_F(ToolbarTest, EachClassListsItsStarsByItsOwnRule) {
    MainWindow window(*session, messages);
    ::Toolbar& toolbar = *window.Toolbar();
    const auto listed = [&](int code) {
        const int count = toolbar.FillStarSelector(code);
        EXPECT_EQ(count, toolbar.StarSelector()->count());
        return Texts(toolbar.StarSelector());
    };
    EXPECT_EQ(listed(19), QStringList({"Bennu", "Eros"}));  // NEO flag, whatever the mark
    EXPECT_EQ(listed(25), QStringList({"Bennu"}));
    // Other codes need the data mark (Vesta has none) and a file (Astraea has none).
    EXPECT_EQ(listed(2), QStringList({"Ceres", "Juno"}));
    EXPECT_EQ(listed(-1), QStringList());
    EXPECT_EQ(toolbar.SelectedSpkId(), 0u);
    EXPECT_EQ(toolbar.SelectedStarName(), std::nullopt);
    EXPECT_EQ(listed(6), QStringList({"Bennu"}));
}

TEST_F(ToolbarTest, ReadOutsOfTheYearSelector) {
    MainWindow window(*session, messages);
    QComboBox* years = window.Toolbar()->YearSelector();
    years->setCurrentIndex(1);  // the 1900 item carries 0, like "(All years)"
    EXPECT_EQ(window.Toolbar()->SelectedYear(), 0);
    years->setCurrentIndex(2);
    EXPECT_EQ(window.Toolbar()->SelectedYear(), 1901);
    years->setCurrentIndex(120);
    EXPECT_EQ(window.Toolbar()->SelectedYear(), 2019);
    years->setCurrentIndex(-1);
    EXPECT_EQ(window.Toolbar()->SelectedYear(), -1);
    window.Toolbar()->OrbitClassSelector()->setCurrentIndex(-1);
    EXPECT_EQ(window.Toolbar()->SelectedOrbitClass(), -1);
}

TEST_F(ToolbarTest, AStarChoiceLoadsItPreparesTheChartsAndSelectsItInTheList) {
    MainWindow window(*session, messages);
    ::Toolbar& toolbar = *window.Toolbar();
    QStringList statuses;
    window.Status()->SetObserver([&](int part, const QString& text) {
        if (part == 0)
            statuses << text;
    });
    Choose(toolbar.YearSelector(), 5);  // a year first: the star choice puts "(All years)" back
    statuses.clear();
    Choose(toolbar.StarSelector(), IndexOfData(toolbar.StarSelector(), 2000433));
    ASSERT_NE(window.Star().Star(), nullptr);
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000433u);
    EXPECT_EQ(window.Star().Cursor().Position(), window.Star().Star()->FirstRecord().Position());
    EXPECT_EQ(toolbar.YearSelector()->currentIndex(), 0);
    EXPECT_EQ(statuses,
              QStringList({"Wait...", "Preparing Star Orbit", "Astrometric datas", "Earth datas",
                           "Galactic datas", "Geometric datas", "Ready", "Ready"}));
    // The information panel was filled for the star.
    EXPECT_NE(window.InfoPanel()->CellText(0, 1), "0.00");
    // The star list's row of the star is the selected and current one.
    const QModelIndex current = window.StarList()->currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(window.StarList()->model()->index(current.row(), 0).data().toString(), "2000433");
    EXPECT_EQ(window.StarList()->selectionModel()->selectedRows().size(), 1);

    // A star with a file but without the data mark is not in the list: no row stays selected.
    Choose(toolbar.StarSelector(), IndexOfData(toolbar.StarSelector(), 2000004));
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000004u);
    EXPECT_TRUE(window.StarList()->selectionModel()->selectedRows().isEmpty());
}

TEST_F(ToolbarTest, AYearChoiceReloadsTheShownStarAndSeeksItsFirstRecordOfTheYear) {
    MainWindow window(*session, messages);
    ::Toolbar& toolbar = *window.Toolbar();
    Choose(toolbar.StarSelector(), IndexOfData(toolbar.StarSelector(), 2000001));
    // The class changes without a star choice: the year choice loads the star now shown.
    Choose(toolbar.OrbitClassSelector(), toolbar.OrbitClassSelector()->findData(19));
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000001u);  // a class choice loads nothing
    EXPECT_EQ(toolbar.SelectedSpkId(), 2101955u);

    QStringList statuses;
    window.Status()->SetObserver([&](int part, const QString& text) {
        if (part == 0)
            statuses << text;
    });
    Choose(toolbar.YearSelector(), toolbar.YearSelector()->findData(2002 - 1900));
    ASSERT_NE(window.Star().Star(), nullptr);
    EXPECT_EQ(window.Star().Star()->Header().Id, 2101955u);
    ASSERT_TRUE(window.Star().Cursor().Record().has_value());
    EXPECT_EQ(window.Star().Cursor().Record()->Year(), 2002);
    EXPECT_EQ(window.Star().Cursor().Position() - window.Star().Star()->FirstRecord().Position(),
              365 * 88);
    EXPECT_EQ(toolbar.SelectedYear(), 2002);  // a year choice keeps the year
    EXPECT_EQ(statuses.front(), "Wait...");
    EXPECT_EQ(statuses.back(), "Ready");

    // "(All years)" and the 1900 item start at the first record.
    Choose(toolbar.YearSelector(), 1);
    EXPECT_EQ(window.Star().Cursor().Position(), window.Star().Star()->FirstRecord().Position());
}

TEST_F(ToolbarTest, EveryKeyboardStepIsOneChoice) {
    MainWindow window(*session, messages);
    window.show();
    ::Toolbar& toolbar = *window.Toolbar();
    int waits = 0;
    window.Status()->SetObserver([&](int part, const QString& text) {
        if (part == 0 && text == "Wait...")
            ++waits;
    });
    toolbar.StarSelector()->setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(toolbar.StarSelector(), &down);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000001u);  // Bennu -> Ceres
    QApplication::sendEvent(toolbar.StarSelector(), &down);
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000433u);
    // A change the program makes itself is no choice.
    toolbar.StarSelector()->setCurrentIndex(0);
    toolbar.FillStarSelector(0);
    EXPECT_EQ(waits, 2);
    QApplication::sendEvent(toolbar.YearSelector(), &down);
    EXPECT_EQ(waits, 3);
}

TEST_F(ToolbarTest, AnUnreadableFileIsSaidChangesNoChartAndTitlesNameTheLoadedStar) {
    MainWindow window(*session, messages);
    ::Toolbar& toolbar = *window.Toolbar();
    Choose(toolbar.StarSelector(), IndexOfData(toolbar.StarSelector(), 2000001));
    const RecordWalk cursor = window.Star().Cursor();
    EXPECT_EQ(window.TitleInputs().SelectedStarName, "Ceres");
    EXPECT_EQ(window.TitleInputs().SelectedYear, 0);

    std::filesystem::remove(session->Folders().DatasFolder + "/2000003.Nvr");
    std::filesystem::resize_file(session->Folders().DatasFolder + "/2000433.Nvr", 0);
    for (std::uint32_t id : {2000003u, 2000433u}) {
        const std::string file = "/" + std::to_string(id) + ".Nvr";
        for (QComboBox* selector : {toolbar.StarSelector(), toolbar.YearSelector()}) {
            window.SetStatusText(0, "Ready");
            window.SetStatusText(MainWindow::kProblemPart, "");
            toolbar.StarSelector()->setCurrentIndex(IndexOfData(toolbar.StarSelector(), id));
            Choose(selector, selector == toolbar.YearSelector() ? 3 : selector->currentIndex());
            // The selector stays where the user put it, and the status bar says why nothing
            // changed.
            EXPECT_EQ(toolbar.SelectedSpkId(), id);
            EXPECT_EQ(window.Status()->Text(0), "File unreadable") << id;
            EXPECT_TRUE(window.Status()->Text(MainWindow::kProblemPart).endsWith(file.c_str()))
                << window.Status()->Text(MainWindow::kProblemPart).toStdString();
        }
    }
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000001u);
    EXPECT_EQ(window.Star().Cursor().Position(), cursor.Position());
    EXPECT_EQ(window.TitleInputs().SelectedStarName, "Ceres");

    // Each arrow key is a choice, so the keys step on past an unreadable file: Eros (unreadable)
    // is followed by Juno (gone), then Vesta.
    toolbar.StarSelector()->setCurrentIndex(IndexOfData(toolbar.StarSelector(), 2000433));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(toolbar.StarSelector(), &down);
    QApplication::sendEvent(toolbar.StarSelector(), &down);
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000004u);
    EXPECT_EQ(window.Status()->Text(0), "Ready");
    EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart), "");

    // An orbit-class choice shows another star but loads nothing: the titles still name the
    // loaded star, and a year choice after it loads the star shown, under its own name.
    Choose(toolbar.OrbitClassSelector(), toolbar.OrbitClassSelector()->findData(6));
    EXPECT_EQ(toolbar.SelectedSpkId(), 2101955u);
    EXPECT_EQ(window.TitleInputs().SelectedStarName, "Vesta");
    Choose(toolbar.YearSelector(), toolbar.YearSelector()->findData(2002 - 1900));
    EXPECT_EQ(window.Star().Star()->Header().Id, 2101955u);
    EXPECT_EQ(window.TitleInputs().SelectedStarName, "Bennu");
    EXPECT_EQ(window.TitleInputs().SelectedYear, 2002);
    // A year before the file starts at its first record, and the titles say so.
    Choose(toolbar.YearSelector(), toolbar.YearSelector()->findData(1950 - 1900));
    EXPECT_EQ(window.Star().Cursor().Position(), window.Star().Star()->FirstRecord().Position());
    EXPECT_EQ(window.TitleInputs().SelectedYear, 2001);
    EXPECT_TRUE(messages.messages.empty());
}

// Another star's file under a star's name is unreadable, as a damaged one is: it would draw the
// other star's track under this star's name. A file cut short draws what it holds, and says so.
TEST_F(ToolbarTest, AnotherStarsFileIsUnreadableAndAFileCutShortIsDrawnAndSaidSo) {
    MainWindow window(*session, messages);
    ::Toolbar& toolbar = *window.Toolbar();
    const std::string datas = session->Folders().DatasFolder;
    std::filesystem::copy_file(datas + "/2000001.Nvr", datas + "/2000003.Nvr",
                               std::filesystem::copy_options::overwrite_existing);
    NvrFile cut = NvrFile::Daily(2000433, 2001, 2003);
    cut.Terminator = false;
    cut.Write(datas + "/2000433.Nvr");

    for (QComboBox* selector : {toolbar.StarSelector(), toolbar.YearSelector()}) {
        Choose(toolbar.StarSelector(), IndexOfData(toolbar.StarSelector(), 2000001));
        toolbar.StarSelector()->setCurrentIndex(IndexOfData(toolbar.StarSelector(), 2000003));
        Choose(selector, selector == toolbar.YearSelector() ? 3 : selector->currentIndex());
        EXPECT_EQ(window.Status()->Text(0), "File unreadable");
        EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart),
                  QString::fromStdString(datas + "/2000003.Nvr holds star 2000001"));
        EXPECT_EQ(window.Star().Star()->Header().Id, 2000001u);
        EXPECT_EQ(window.TitleInputs().SelectedStarName, "Ceres");

        toolbar.StarSelector()->setCurrentIndex(IndexOfData(toolbar.StarSelector(), 2000433));
        Choose(selector, selector == toolbar.YearSelector() ? 0 : selector->currentIndex());
        EXPECT_EQ(window.Status()->Text(0), "Ready");
        EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart), "File cut short: 1095 records");
        EXPECT_EQ(window.Star().Star()->Header().Id, 2000433u);
        EXPECT_EQ(window.TitleInputs().SelectedStarName, "Eros");
    }
    // A whole file again: nothing to say.
    Choose(toolbar.StarSelector(), IndexOfData(toolbar.StarSelector(), 2000001));
    EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart), "");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ToolbarTest, AStarNamedOnTheCommandLineIsChosenFromEveryStarWhenItsClassIsNotShown) {
    MainWindow window(*session, messages);
    ::Toolbar& toolbar = *window.Toolbar();
    Choose(toolbar.OrbitClassSelector(), toolbar.OrbitClassSelector()->findData(6));  // Apollo
    window.ChooseStarById(2000001);
    ASSERT_NE(window.Star().Star(), nullptr);
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000001u);
    EXPECT_EQ(toolbar.SelectedOrbitClass(), 0);
    EXPECT_EQ(window.TitleInputs().SelectedStarName, "Ceres");
    window.ChooseStarById(2000005);  // Astraea has no file
    EXPECT_EQ(window.Star().Star()->Header().Id, 2000001u);
    EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart),
              "Star 2000005 is not listed: it has no ephemeris file");
    // A file of a star the catalogue does not hold.
    std::filesystem::copy_file(folder / "Datas/2000001.Nvr", folder / "Datas/2000999.Nvr");
    window.ChooseStarById(2000999);
    EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart),
              "Star 2000999 is not listed: no class of the catalogue lists it");
}

TEST_F(ToolbarTest, AClassChoiceEmptiesTheStarSelectorEvenWhenItCannotBeRefilled) {
    MainWindow window(*session, messages);
    ::Toolbar& toolbar = *window.Toolbar();
    ASSERT_GT(toolbar.StarSelector()->count(), 0);
    // The stars' table goes away under the running program: no star statement can be prepared.
    sqlite3_exec(session->Database().Handle(), "DROP TABLE [AllStars]", nullptr, nullptr, nullptr);
    Choose(toolbar.OrbitClassSelector(), toolbar.OrbitClassSelector()->findData(2));
    EXPECT_EQ(toolbar.StarSelector()->count(), 0);
    EXPECT_EQ(toolbar.SelectedSpkId(), 0u);
}

TEST_F(ToolbarTest, OpenListsKeepToTheirHeightAndASensibleWidth) {
    // A name of 3,000 characters among the stars.
    sqlite3_exec(session->Database().Handle(),
                 ("UPDATE [AllStars] SET [Name] = '" + std::string(3000, 'W') +
                  "' WHERE [SpkId] = 2000003")
                     .c_str(),
                 nullptr, nullptr, nullptr);
    MainWindow window(*session, messages);
    window.resize(1900, 1000);
    window.show();
    ::Toolbar& toolbar = *window.Toolbar();
    toolbar.FillStarSelector(0);
    for (QComboBox* selector : {toolbar.StarSelector(), toolbar.YearSelector()}) {
        selector->showPopup();
        QApplication::processEvents();
        const QRect popup = selector->view()->window()->geometry();
        const QPoint below = selector->mapToGlobal(QPoint(0, selector->height()));
        // The list opens under its selector, at most 500 pixels down from the selector's top,
        // and no wider than its selector or 500 pixels.
        EXPECT_GE(popup.top(), below.y() - 1) << selector->objectName().toStdString();
        EXPECT_LE(popup.bottom() - below.y() + selector->height(), 500)
            << selector->objectName().toStdString();
        EXPECT_LE(popup.width(), std::max(selector->width(), 500))
            << selector->objectName().toStdString();
        EXPECT_GE(popup.width(), selector->width());
        selector->hidePopup();
    }
}

TEST_F(ToolbarTest, NamesAreInDictionaryOrderWhateverTheirCase) {
    std::vector<Choice> choices = {{"Wrap", 1}, {"\u00e9ll", 2}, {"Huge", 3}, {"e1", 4}, {"b", 5}};
    choices[1].Text = QString::fromUtf8("\xc3\xa9ll");
    SortChoices(choices);
    QStringList order;
    for (const Choice& choice : choices)
        order << choice.Text;
    EXPECT_EQ(order, QStringList({"b", "e1", QString::fromUtf8("\xc3\xa9ll"), "Huge", "Wrap"}));
}

TEST_F(ToolbarTest, AClassWithoutFilesLeavesTheStarSelectorEmpty) {
    std::filesystem::remove_all(session->Folders().DatasFolder);
    MainWindow window(*session, messages);
    ::Toolbar& toolbar = *window.Toolbar();
    EXPECT_EQ(toolbar.StarSelector()->count(), 0);
    EXPECT_EQ(toolbar.SelectedSpkId(), 0u);
    Choose(toolbar.YearSelector(), 3);
    EXPECT_EQ(window.Star().Star(), nullptr);
    EXPECT_EQ(window.Status()->Text(0), "Welcome");
}

TEST(Toolbar, WithoutOrbitClassesNothingCanBeChosen) {
    const std::filesystem::path working = std::filesystem::current_path();
    TempFolder folder;
    RecordedMessages messages;
    // An empty catalogue file: no table can be read.
    std::unique_ptr<Session> session = Startup(folder.Path(), messages).session;
    ASSERT_TRUE(session);
    {
        MainWindow window(*session, messages);
        EXPECT_EQ(window.Toolbar()->OrbitClassSelector()->count(), 0);
        EXPECT_EQ(window.Toolbar()->StarSelector()->count(), 0);
        EXPECT_EQ(window.Toolbar()->SelectedYear(), -1);  // so no chart draws
        EXPECT_EQ(window.Status()->Text(1), "");
    }
    std::filesystem::current_path(working);
}

// A class's list takes the ranks of the list of every star when it holds the same stars under the
// same names; with a star that list has not ranked (a file added since, a name changed, two rows
// of one SpkId) it ranks its own names. Either way it is in the order of the locale's collation,
// ignoring case, rows of equal names in SpkId order.
TEST(Toolbar, ClassListsAreInCollationOrderWhetherOrNotRanksAreReused) {
    const std::filesystem::path working = std::filesystem::current_path();
    TempFolder folder;
    RecordedMessages messages;
    const char* names[] = {"ceres", "Ceres", "Éros", "eros", "Eros", "(1) Ceres", "1 Ceres",
                           "zeta",  "Zeta",  "Öpik", "opik", "a-b",  "ab",        "a b"};
    std::vector<Star> stars;
    std::vector<NvrFile> files;
    for (std::uint32_t i = 0; i < 42; ++i) {
        Star star;
        star.Id = 2000001 + i;
        star.Name = names[i % std::size(names)];
        star.OrbiteType = 1 + static_cast<int>(i % 2);
        star.OrbiteTypeNeo = i % 3 == 0 ? 1 : 0;
        stars.push_back(star);
        if (i % 7 != 6)
            files.push_back(NvrFile::Daily(star.Id, 2001, 2001));
    }
    Star twin = stars[5];  // a second row of one SpkId, under another name, in class 2
    twin.Name = "Aaa";
    twin.OrbiteType = 2;
    stars.push_back(twin);
    TestData::MakeProgramFolder(folder.Path(), {{0, "All stars"}, {1, "One"}, {2, "Two"}}, stars,
                                files);
    std::unique_ptr<Session> session = Startup(folder.Path(), messages).session;
    ASSERT_TRUE(session);
    {
        MainWindow window(*session, messages);
        ::Toolbar& toolbar = *window.Toolbar();
        QCollator collator(NameCollationLocale());
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        const auto expected = [&](int code) {
            std::vector<StarChoiceRow> rows = *QueryStarChoices(session->Database(), code);
            std::erase_if(rows, [&](const StarChoiceRow& row) {
                return !std::filesystem::exists(
                    StarFilePath(session->Folders().DatasFolder, row.Id));
            });
            std::stable_sort(rows.begin(), rows.end(),
                             [&](const StarChoiceRow& x, const StarChoiceRow& y) {
                                 return collator.compare(QString::fromStdString(x.Name),
                                                         QString::fromStdString(y.Name)) < 0;
                             });
            std::vector<qint64> ids;
            for (const StarChoiceRow& row : rows)
                ids.push_back(row.Id);
            return ids;
        };
        const auto listed = [&](int code) {
            toolbar.FillStarSelector(code);
            return ToolbarTest::Data(toolbar.StarSelector());
        };
        for (const int code : {0, 1, 2, 19, 0, 1})
            EXPECT_EQ(listed(code), expected(code)) << code;
        NvrFile::Daily(2000007, 2001, 2001)
            .Write(StarFilePath(session->Folders().DatasFolder, 2000007));
        sqlite3_exec(session->Database().Handle(),
                     "UPDATE [AllStars] SET [Name] = 'Bennu' WHERE [SpkId] = 2000009", nullptr,
                     nullptr, nullptr);
        for (const int code : {1, 2, 0, 1})
            EXPECT_EQ(listed(code), expected(code)) << code << " after the changes";
        EXPECT_EQ(listed(1).size(), 19u);
    }
    std::filesystem::current_path(working);
}
