// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLineEdit>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "data/Catalogue.h"
#include "data/StarFile.h"
#include "data/StarFinder.h"

class QFrame;
class QLabel;
class QTimer;
class QTreeView;
class FoundStarsModel;

// A body the user picked in the find field's list.
struct FoundStar {
    SpkId Id = 0;
    int OrbitClass = -1;   // its class code
    QString FullName;      // "99942 Apophis (2004 MN4)"
    bool HasFile = false;  // whether it had an ephemeris file when the list was made
};

// The find field of the toolbar. As the user types a number, a name, a designation or an SPK-ID,
// a list under the field shows the bodies of the whole catalogue that match (StarFinder: exact
// matches first, then those that start with the text, then those that hold it), each with its
// full name, its class and whether it has an ephemeris file, at most as many as fit in the window
// under the field, and a line with the count of all. Up, Down, Page Up and Page Down move through
// the list, Enter or a click picks the body, Escape closes the list.
//
// The index of every body is read the first time the field is used (it takes the focus or is
// typed into), on a thread of its own with a read-only connection to the catalogue of its own:
// the window goes on answering, and the list says how many bodies are read so far. Nothing is
// read before, so start-up neither waits for it nor holds its memory.
class FindField : public QLineEdit {
    Q_OBJECT
  public:
    struct Sources {
        std::string CataloguePath;  // the catalogue the index reads (file-system bytes)
        std::string DatasFolder;    // where the ephemeris files are
        // The viewer's connection, for the full names and classes of the rows shown.
        const Catalogue* Database = nullptr;
        std::function<QString(int code)> ClassName;  // the name of an orbit class
    };

    // The list is laid over `listHost` (the area under the toolbar), under the field.
    FindField(QWidget* parent, QWidget* listHost, const QFont& font, Sources sources);
    ~FindField() override;

    // Starts reading the index, unless it is read or being read.
    void PrepareIndex();
    bool IndexReady() const { return finder_.has_value(); }
    // Why the index could not be read (empty while it is read, or when it was).
    QString IndexProblem() const { return indexProblem_; }
    const StarFinder* Finder() const { return finder_ ? &*finder_ : nullptr; }

    // The list and its count line (shown only while there is a text to find).
    QTreeView* MatchList() const { return list_; }
    QLabel* CountLine() const { return countLine_; }
    bool ListShown() const;
    // The bodies the list shows, in its order.
    const std::vector<FoundStar>& Shown() const { return shown_; }

  signals:
    void StarPicked(const FoundStar& star);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    struct IndexLoad;
    // Runs the text against the index and shows what matches (or how far the index is read).
    void Refresh();
    void CheckIndexLoad();
    void ShowList(const QString& countText);
    void HideList();
    void Pick(int row);
    void MoveCurrent(int rows);
    // How many rows the list has room for under the field, each RowHeight() pixels high.
    int RowsThatFit() const;
    int RowHeight() const;

    Sources sources_;
    QWidget* listHost_;
    QFrame* panel_;
    QTreeView* list_;
    QLabel* countLine_;
    FoundStarsModel* model_;
    QTimer* poll_;
    std::vector<FoundStar> shown_;

    std::shared_ptr<IndexLoad> load_;
    std::thread reader_;
    std::optional<StarFinder> finder_;
    std::unique_ptr<StarFinder::Typing> typing_;  // the finds of the text as it is typed
    QString indexProblem_;
    mutable int rowHeight_ = 0;  // pixels, once measured
};
