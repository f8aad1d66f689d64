// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/CurrentStar.h"

CurrentStar::CurrentStar(std::string datasFolder) : datasFolder_(std::move(datasFolder)) {}

const StarFile* CurrentStar::MakeCurrentStar(SpkId id) {
    lastLoad_ = {};
    std::optional<StarFile> loaded = LoadStarFile(StarFilePath(datasFolder_, id));
    if (!loaded) {
        return nullptr;
    }
    lastLoad_.FileId = loaded->Header().Id;
    if (lastLoad_.FileId != id) {
        // Its track would be drawn under the name of the star asked for.
        lastLoad_.Result = StarLoad::Status::OtherStar;
        return nullptr;
    }
    const StarFile::RecordRun run = loaded->CountRecords();
    lastLoad_.Result = run.Terminated ? StarLoad::Status::Loaded : StarLoad::Status::CutShort;
    lastLoad_.Records = run.Records;
    star_ = std::move(loaded);  // the previous region is released here
    cursorOffset_ = static_cast<std::size_t>(star_->Header().FirstRecordOffset);
    if (refresh_) {
        refresh_(*star_);
    }
    return &*star_;
}

int CurrentStar::SeekYear(int year) {
    if (!star_) {
        return year;
    }
    RecordWalk walk = star_->FirstRecord();
    const std::optional<EphemerisRecord> first = walk.Record();
    const int drawnFrom = first && year < first->Year() ? first->Year() : year;
    while (!walk.AtEnd() && walk.Record()->Year() != drawnFrom) {
        walk.Next();
    }
    cursorOffset_ = static_cast<std::size_t>(walk.Position() - star_->Data());
    return drawnFrom;
}

RecordWalk CurrentStar::Cursor() const {
    if (!star_) {
        return {};
    }
    return star_->WalkFrom(cursorOffset_);
}

void CurrentStar::Release() {
    star_.reset();
    cursorOffset_ = 0;
}
