// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/ProgramFolders.h"
#include "data/StarFile.h"
#include "data/StarFileIndex.h"
#include "gui/BackgroundPicture.h"
#include "gui/FindField.h"
#include "gui/SortedChoices.h"

class Catalogue;
class QComboBox;
class QStyle;

// The strip under the tabs where the user chooses an orbit class, a star of that class and the
// first year to draw, over the background picture, and finds any body of the catalogue in the
// find field right of them. The three selectors keep their items sorted by text; each item
// carries a value (the class code, the SpkId, the year index).
class Toolbar : public QWidget {
    Q_OBJECT
  public:
    // Selector positions in the toolbar (pixels): x, width; all at y = 4.
    static constexpr int kTop = 4;
    static constexpr int kOrbitClassX = 8, kOrbitClassWidth = 200;
    static constexpr int kStarX = 216, kStarWidth = 250;
    static constexpr int kYearX = 474, kYearWidth = 200;
    static constexpr int kFindX = 682, kFindWidth = 260;
    // Years the year selector offers: from 1900 + i to kLastYear, i = 0 ... kYearItems - 1.
    static constexpr int kFirstYear = 1900;
    static constexpr int kLastYear = 2019;
    static constexpr int kYearItems = 120;

    using StatusWriter = std::function<void(int part, const QString& text)>;

    // Fills the year selector, then the orbit classes from the catalogue, selects the first
    // class and year, writes "%d orbites added" into status part 1 and lists the first class's
    // stars. No star is loaded.
    Toolbar(QWidget* parent, const Catalogue& catalogue, const ProgramFolders& folders,
            const QFont& uiFont, StatusWriter status);

    // The selected orbit class's code; -1 when nothing is selected.
    int SelectedOrbitClass() const;
    // The selected star's SpkId; 0 when nothing is selected.
    SpkId SelectedSpkId() const;
    // The selected star's name (UTF-8, at most 255 bytes, cut at a character boundary); nothing
    // when no star is selected.
    std::optional<std::string> SelectedStarName() const;
    // -1 when nothing is selected; 0 for "(All years)" and for the 1900 item; else the year.
    int SelectedYear() const;

    // Lists the stars of orbit class `code` that have an ephemeris file, sorted by name, and
    // selects the first (without loading it). Returns the number of stars listed; 0, with the
    // list as it was, when the statement cannot be prepared. The names of the list of every star
    // (code 0) are ranked once; a class's list takes their ranks from there, so that a class of
    // half a million stars is put in order without a single new sort key.
    int FillStarSelector(int code);

    // Shows the item of star `id` in the star selector, without a choice; false when the list has
    // no such star (the selector is then left as it was).
    bool ShowStar(SpkId id);
    // The same from the class shown, or else from the list of every star, which it then shows
    // (class and list, still without a choice).
    bool ShowStarInAnyClass(SpkId id);
    // The same from the class shown, else from the star's own class `orbitClass` (when the
    // orbit-class selector offers it and it lists the star), else from every star.
    bool ShowStarInItsClass(SpkId id, int orbitClass);
    // Selects "(All years)" and scrolls the year list to the top.
    void ResetYearSelector();

    QComboBox* OrbitClassSelector() const { return orbitClasses_; }
    QComboBox* StarSelector() const { return stars_; }
    QComboBox* YearSelector() const { return years_; }
    ::FindField* FindField() const { return find_; }

  signals:
    // The user chose a star or a year (with the mouse, the keyboard or the wheel): once for each
    // change of the selection.
    void StarChosen();
    void YearChosen();
    // The user picked a body in the find field's list (with or without an ephemeris file).
    void FoundStarPicked(const FoundStar& star);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QComboBox* MakeSelector(SortedChoiceModel* model, const QFont& font);
    QStyle* selectorStyle_ = nullptr;  // the selectors' (owned by the toolbar)

    // The names of the last list of every star, ranked by name: SpkIds ascending, each with the
    // rank of its name and a hash of the name (to check that a class's row is the same star).
    struct RankedNames {
        bool Made = false;
        std::vector<SpkId> Ids;
        std::vector<std::uint32_t> Ranks;
        std::vector<std::uint32_t> Hashes;
    };
    // The ranks of the names of `items` (texts in `texts`) from rankedNames_; nothing when a
    // star is not there with that name.
    std::optional<std::vector<std::uint32_t>> KnownRanks(
        const std::string& texts, const std::vector<SortedChoiceModel::Item>& items) const;

    const Catalogue& catalogue_;
    ProgramFolders folders_;
    StarFileListing datasListing_;
    RankedNames rankedNames_;
    BackgroundPicture background_;
    SortedChoiceModel* orbitClassModel_;
    SortedChoiceModel* starModel_;
    SortedChoiceModel* yearModel_;
    QComboBox* orbitClasses_;
    QComboBox* stars_;
    QComboBox* years_;
    ::FindField* find_;
};
