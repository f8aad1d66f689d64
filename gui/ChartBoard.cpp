// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/ChartBoard.h"

#include <QCoreApplication>

#include "charts/ChartCaptions.h"
#include "data/CatalogueQueries.h"
#include "data/CurrentStar.h"
#include "drawing/Fonts.h"
#include "drawing/MessageService.h"
#include "gui/ChartPane.h"
#include "gui/FramePane.h"
#include "gui/PageNames.h"
#include "gui/ViewPane.h"

namespace {

std::size_t FrameIndex(CoordinateFrame frame) {
    return static_cast<std::size_t>(frame);
}

std::size_t KindIndex(ChartKind kind) {
    return static_cast<std::size_t>(kind);
}

}  // namespace

ChartBoard::ChartBoard(const FontTable& fonts, ChartBoardProviders providers)
    : fonts_(fonts), providers_(std::move(providers)) {}

QWidget* ChartBoard::CreateViewPage(CoordinateFrame frame, QWidget* parent) {
    auto* page = new ViewPane(
        ViewPageClassName(frame), [this, frame] { return RenderViewForPaint(frame); }, parent);
    viewPages_[FrameIndex(frame)] = page;
    return page;
}

QWidget* ChartBoard::CreateChartPage(ChartKind kind, QWidget* parent) {
    if (kind == ChartKind::View) {
        return nullptr;
    }
    auto* page = new ChartPane(kind, fonts_.UiFont.Font, parent);
    chartPages_[KindIndex(kind)] = page;
    return page;
}

ViewPane* ChartBoard::ViewPage(CoordinateFrame frame) const {
    return viewPages_[FrameIndex(frame)];
}

ChartPane* ChartBoard::ChartPage(ChartKind kind) const {
    return chartPages_[KindIndex(kind)];
}

const StarFileHeader* ChartBoard::Header() const {
    if (providers_.Star == nullptr || providers_.Star->Star() == nullptr) {
        return nullptr;
    }
    return &providers_.Star->Star()->Header();
}

ChartContext ChartBoard::Context() {
    ChartContext context;
    context.Fonts = &fonts_;
    if (providers_.TitleInputs) {
        context.Title = providers_.TitleInputs();
    }
    context.Star = providers_.Star;
    context.Extents = &extents_;
    context.Messages = providers_.Messages;
    if (providers_.MainClientSize) {
        context.MainClientSize = providers_.MainClientSize();
    }
    return context;
}

std::optional<QImage> ChartBoard::RenderViewForPaint(CoordinateFrame frame) {
    if (Header() == nullptr) {
        return std::nullopt;
    }
    RenderInputs inputs = MakeRenderInputs(Context(), FrameTrack{providers_.Star->Cursor(), frame},
                                           ScreenCaption(ChartKind::View, frame));
    // A failure message is shown once the paint is over: a modal box inside a paint would paint
    // again underneath it.
    HeldMessages failures;
    inputs.Messages = &failures;
    std::optional<QImage> picture = RenderViewChart(inputs);
    if (MessageService* messages = providers_.Messages) {
        const QPointer<QObject> owner = FailureOwner(ChartKind::View, frame);
        for (const HeldMessages::Message& message : failures.held) {
            QMetaObject::invokeMethod(
                qApp,
                [messages, message, owner] {
                    messages->ShowOver(message.Text, message.Icon, owner.data());
                },
                Qt::QueuedConnection);
        }
    }
    return picture;
}

QObject* ChartBoard::FailureOwner(ChartKind kind, CoordinateFrame frame) const {
    switch (kind) {
        case ChartKind::View: {
            ViewPane* page = ViewPage(frame);
            return page != nullptr ? page->window() : nullptr;
        }
        case ChartKind::Years:
            return nullptr;
        default:
            return ChartPage(kind);
    }
}

void ChartBoard::RefreshChart(ChartKind kind, const FrameTrack& track, const QString& caption) {
    RenderInputs inputs = MakeRenderInputs(Context(), track, caption);
    std::optional<OwnedMessages> failures;
    if (providers_.Messages != nullptr) {
        inputs.Messages = &failures.emplace(*providers_.Messages, FailureOwner(kind, track.Frame));
    }
    if (kind == ChartKind::View) {
        std::optional<QImage> picture = RenderViewChart(inputs);
        ViewPane* page = ViewPage(track.Frame);
        if (picture && page != nullptr && page->isVisible()) {
            page->ShowPicture(std::move(*picture));
        }
        return;
    }
    ChartPane* page = ChartPage(kind);
    FramePane* pane = page != nullptr ? page->Pane(track.Frame) : nullptr;
    std::optional<QImage> chart;
    if (kind == ChartKind::Perihelion) {
        if (providers_.Database == nullptr || inputs.Header == nullptr) {
            return;
        }
        const std::optional<PerihelionRow> row =
            QueryPerihelion(*providers_.Database, inputs.Header->Id);
        if (!row) {
            // No passage data for this star: the pane shows black, never the chart (and title)
            // of the star before.
            if (pane != nullptr) {
                pane->ShowChart(QImage(), inputs.Header->Id);
            }
            return;
        }
        chart = RenderPerihelionChart(inputs, row->TimePerihelionPassage, row->OrbitalPeriod);
    } else {
        chart = RenderChart(kind, inputs);
    }
    if (chart && pane != nullptr) {
        pane->ShowChart(std::move(*chart), inputs.Header->Id);
    }
}
