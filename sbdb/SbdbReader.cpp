// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sbdb/SbdbReader.h"

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "ephemeris/NumberText.h"

namespace {

constexpr double kDaysPerJulianYear = 365.25;
constexpr double kModifiedJulianDayZero = 2400000.5;
constexpr double kLargestSpkId = 4294967295.0;
constexpr std::size_t kReadPiece = 64 * 1024;  // bytes read from a file at a time

// The fields the catalogue reads, by their name in lower case with '_' for '.'.
enum Slot : int {
    kFullName,
    kSpkId,
    kClass,
    kNeo,
    kPha,
    kE,
    kA,
    kQ,
    kAd,
    kI,
    kOm,
    kW,
    kMa,
    kN,
    kTp,
    kMoid,
    kH,
    kDiameter,
    kRotPer,
    kAlbedo,
    kEpochMjd,
    kEpoch,
    kPerY,
    kPer,
    kSlotCount
};
constexpr std::array<const char*, kSlotCount> kSlotNames = {
    "full_name", "spkid",    "class",   "neo",    "pha",       "e",     "a",     "q",
    "ad",        "i",        "om",      "w",      "ma",        "n",     "tp",    "moid",
    "h",         "diameter", "rot_per", "albedo", "epoch_mjd", "epoch", "per_y", "per"};

// The values read as written, by their slot.
constexpr std::pair<SbdbValue SbdbBody::*, Slot> kValueFields[] = {
    {&SbdbBody::Eccentricity, kE},       {&SbdbBody::SemiMajorAxis, kA},
    {&SbdbBody::PerihelionDistance, kQ}, {&SbdbBody::AphelionDistance, kAd},
    {&SbdbBody::Inclination, kI},        {&SbdbBody::AscendingNode, kOm},
    {&SbdbBody::ArgumentPerihelion, kW}, {&SbdbBody::MeanAnomaly, kMa},
    {&SbdbBody::MeanMotion, kN},         {&SbdbBody::PerihelionTime, kTp},
    {&SbdbBody::EarthMoid, kMoid},       {&SbdbBody::AbsoluteMagnitude, kH},
    {&SbdbBody::Diameter, kDiameter},    {&SbdbBody::RotationPeriod, kRotPer},
    {&SbdbBody::Albedo, kAlbedo},
};

// Whether the code point is blank space as Unicode has it: the separators (spaces, line and
// paragraph separators) and the controls TAB to CR and NEL. Names and values lose it at both
// ends.
bool IsSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// The code point of valid UTF-8 at `at` and its length.
std::pair<char32_t, std::size_t> CodePointAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80 || at + 1 >= text.size())
        return {lead, 1};
    if (lead < 0xE0)
        return {static_cast<char32_t>(((lead & 0x1F) << 6) | (byte(at + 1) & 0x3F)), 2};
    if (lead < 0xF0 && at + 2 < text.size()) {
        return {static_cast<char32_t>(((lead & 0x0F) << 12) | ((byte(at + 1) & 0x3F) << 6) |
                                      (byte(at + 2) & 0x3F)),
                3};
    }
    return {0x10000, 4};  // beyond the blanks
}

// The text without blank space at its ends; `text` is valid UTF-8.
std::string_view Trimmed(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size()) {
        const auto [c, length] = CodePointAt(text, first);
        if (!IsSpace(c))
            break;
        first += length;
    }
    std::size_t end = text.size();
    while (end > first) {
        std::size_t start = end - 1;
        while (start > first && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
            --start;
        if (!IsSpace(CodePointAt(text, start).first))
            break;
        end = start;
    }
    return text.substr(first, end - first);
}

// A decimal number written as text ("1.5", "+.5", "1e5", " 2 " trimmed before): the number,
// when the whole text is one and it stays within the range of a double (neither overflow nor
// underflow to 0). Infinities and NaN are given as such; the callers keep finite numbers only.
std::optional<double> DecimalNumber(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// "1 Ceres (A801 AA)" -> 1; "(1927 LA)" and "1P/Halley" -> nothing.
std::optional<std::uint32_t> AsteroidNumber(const std::string& fullName) {
    std::size_t digits = 0;
    while (digits < fullName.size() && fullName[digits] >= '0' && fullName[digits] <= '9')
        ++digits;
    if (digits == 0 || digits > 9 || (digits < fullName.size() && fullName[digits] != ' ')) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(std::stoul(fullName.substr(0, digits)));
}

// One value of a row as the export wrote it.
struct Cell {
    enum class Kind { Absent, Null, String, Number, Bool, Other } Type = Kind::Absent;
    std::string Text;  // a string's text; a number's text as written
    double Number = 0;
    bool Flag = false;
};

// Where the columns of an export are: the slot of each column (-1 for a column not read) and the
// name of each slot's field as the export writes it.
struct Columns {
    std::vector<int> SlotOf;
    std::array<std::string, kSlotCount> WrittenName;
    std::array<bool, kSlotCount> Present{};

    static Columns From(const std::vector<std::string>& fields) {
        Columns columns;
        columns.SlotOf.assign(fields.size(), -1);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            std::string name = fields[i];
            for (char& c : name) {
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
                else if (c == '.')
                    c = '_';
            }
            for (int slot = 0; slot < kSlotCount; ++slot) {
                if (name == kSlotNames[slot] && !columns.Present[slot]) {
                    // The first column of a name counts.
                    columns.Present[slot] = true;
                    columns.SlotOf[i] = slot;
                    columns.WrittenName[slot] = fields[i];
                }
            }
        }
        return columns;
    }
};

// What one reading of an export does: check the file whole (the fields, that the data are rows,
// every number in range), hand each row over as a body, or both at once.
enum class Pass {
    Check,         // collects the fields; hands nothing over
    Read,          // hands over the rows of the last "data" array, with the fields given
    CheckAndRead,  // one pass: hands over the rows of every "data" array after "fields"
};

// The SAX handler that reads an export value by value. Depth 1 is the root object, 2 its
// "fields" or "data" arrays, 3 a row.
class ExportHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, ExportHandler> {
  public:
    ExportHandler(Pass pass, const std::function<void(const SbdbBody&)>* onBody)
        : pass_(pass), onBody_(onBody) {}

    // For Pass::Read: the columns and which "data" array (counted from 1) to read.
    void ReadWith(const Columns& columns, int dataArray) {
        columns_ = columns;
        readDataArray_ = dataArray;
        columnsKnown_ = true;
    }

    bool Null() { return Scalar(Cell::Kind::Null, {}, 0, false); }
    bool Bool(bool value) { return Scalar(Cell::Kind::Bool, {}, 0, value); }
    bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
        const std::string_view written(text, length);
        double value = 0;
        const auto [end, error] = std::from_chars(text, text + length, value);
        if (error != std::errc() || end != text + length) {
            numberOutOfRange_ = true;  // JSON's grammar is checked by the parser: too large or
            return false;              // too small to be a double
        }
        if (written == "-0")
            value = 0;  // an integer has no sign of its own for zero
        return Scalar(Cell::Kind::Number, written, value, false);
    }
    bool String(const char* text, rapidjson::SizeType length, bool) {
        if (HoldsLoneSurrogate(std::string_view(text, length)))
            return false;
        return Scalar(Cell::Kind::String, std::string_view(text, length), 0, false);
    }
    bool Key(const char* text, rapidjson::SizeType length, bool) {
        if (HoldsLoneSurrogate(std::string_view(text, length)))
            return false;
        if (depth_ == 1)
            key_.assign(text, length);
        return true;
    }
    bool StartObject() { return Open(false); }
    bool StartArray() { return Open(true); }
    bool EndObject(rapidjson::SizeType) { return Close(); }
    bool EndArray(rapidjson::SizeType) { return Close(); }

    // The error of the file as a whole, once it has been read (empty when there is none).
    std::string Problem(const std::string& fileName) const {
        if (!rootIsObject_ || !fieldsIsArray_ || !dataIsArray_)
            return fileName + ": not an SBDB Query API export (no \"fields\" and \"data\" arrays)";
        if (!Columns::From(fields_).Present[kFullName] &&
            !(pass_ == Pass::Read && columns_.Present[kFullName])) {
            return fileName + ": the export has no full_name field";
        }
        if (dataBeforeFields_) {
            return fileName +
                   ": \"data\" comes before \"fields\"; an export read from a pipe must give "
                   "its fields first";
        }
        if (badRow_ > 0) {
            return fileName + ": row " + std::to_string(badRow_) +
                   " of \"data\" is not an array of values";
        }
        return {};
    }

    // Why the handler stopped the parse, in the words of the parser's own errors; nothing when
    // it did not.
    const char* StopReason() const {
        if (numberOutOfRange_)
            return "a number too large or too small for a double";
        if (loneSurrogate_)
            return rapidjson::GetParseError_En(rapidjson::kParseErrorStringUnicodeSurrogateInvalid);
        return nullptr;
    }
    const std::vector<std::string>& Fields() const { return fields_; }
    int DataArrays() const { return dataArrays_; }

  private:
    enum class Role { Other, Fields, Data, Row };

    // Whether a decoded text holds a surrogate (U+D800 to U+DFFF, ED A0 to ED BF in UTF-8), which
    // then stops the parse. The parser checks the file's own bytes and refuses an escaped high
    // surrogate without its low one, but writes an escaped low surrogate without its high one
    // ("\udc00") into the text as it is: no character, and no UTF-8 any reader accepts.
    bool HoldsLoneSurrogate(std::string_view text) {
        for (std::size_t at = text.find('\xED'); at != std::string_view::npos;
             at = text.find('\xED', at + 1)) {
            if (at + 1 < text.size() && (static_cast<unsigned char>(text[at + 1]) & 0xE0) == 0xA0) {
                loneSurrogate_ = true;
                return true;
            }
        }
        return false;
    }

    bool Open(bool array) {
        Role role = Role::Other;
        if (depth_ == 0) {
            rootIsObject_ = !array;
        } else if (depth_ == 1 && rootIsObject_) {
            role = Member(array);
        } else if (depth_ == 2 && roles_[2] == Role::Fields) {
            fields_.emplace_back();  // not a name
        } else if (depth_ == 2 && roles_[2] == Role::Data) {
            if (array) {
                role = Role::Row;
                StartRow();
            } else {
                BadRow();
            }
        } else if (depth_ == 3 && roles_[3] == Role::Row) {
            NextCell(Cell::Kind::Other);
        }
        ++depth_;
        if (depth_ < static_cast<int>(roles_.size()))
            roles_[depth_] = role;
        return true;
    }

    bool Close() {
        if (depth_ == 3 && roles_[3] == Role::Row && !EndRow())
            return false;
        --depth_;
        return true;
    }

    // A value of the root object under key_ begins.
    Role Member(bool array) {
        if (key_ == "fields") {
            fieldsIsArray_ = array;
            if (array && pass_ != Pass::Read)
                fields_.clear();
            return array ? Role::Fields : Role::Other;
        }
        if (key_ == "data") {
            dataIsArray_ = array;
            if (!array)
                return Role::Other;
            ++dataArrays_;
            rows_ = 0;
            badRow_ = 0;
            if (pass_ == Pass::CheckAndRead) {
                columns_ = Columns::From(fields_);
                columnsKnown_ = fieldsIsArray_ && columns_.Present[kFullName];
                dataBeforeFields_ = dataBeforeFields_ || !columnsKnown_;
            }
            return Role::Data;
        }
        return Role::Other;
    }

    bool Scalar(Cell::Kind kind, std::string_view text, double number, bool flag) {
        if (depth_ == 1 && rootIsObject_) {
            Member(false);
        } else if (depth_ == 2 && roles_[2] == Role::Fields) {
            fields_.emplace_back(kind == Cell::Kind::String ? text : std::string_view());
        } else if (depth_ == 2 && roles_[2] == Role::Data) {
            BadRow();
        } else if (depth_ == 3 && roles_[3] == Role::Row) {
            Cell& cell = NextCell(kind);
            cell.Text.assign(text);
            cell.Number = number;
            cell.Flag = flag;
        }
        return true;
    }

    void BadRow() {
        ++rows_;
        if (badRow_ == 0)
            badRow_ = rows_;
    }

    bool Delivering() const {
        return onBody_ != nullptr && columnsKnown_ && badRow_ == 0 &&
               (pass_ == Pass::CheckAndRead || dataArrays_ == readDataArray_);
    }

    void StartRow() {
        column_ = 0;
        if (Delivering()) {
            for (Cell& cell : cells_)
                cell.Type = Cell::Kind::Absent;
        }
    }

    // The cell of the next column; a scratch cell for a column that is not read.
    Cell& NextCell(Cell::Kind kind) {
        const std::size_t column = column_++;
        Cell& cell = Delivering() && column < columns_.SlotOf.size() && columns_.SlotOf[column] >= 0
                         ? cells_[static_cast<std::size_t>(columns_.SlotOf[column])]
                         : scratch_;
        cell.Type = kind;
        return cell;
    }

    bool EndRow() {
        ++rows_;
        if (!Delivering())
            return true;
        MakeBody();
        (*onBody_)(body_);
        return true;
    }

    const Cell& At(Slot slot) const { return cells_[slot]; }

    // A name or a class code: a string trimmed, a number in its shortest form.
    void TextOf(Slot slot, std::string& out) const {
        const Cell& cell = At(slot);
        if (cell.Type == Cell::Kind::String)
            out.assign(Trimmed(cell.Text));
        else if (cell.Type == Cell::Kind::Number)
            out = NumberText(cell.Number);
        else
            out.clear();
    }

    // A yes-or-no field: "Y", "1" or "true" (in any case, trimmed), or JSON's true.
    bool FlagOf(Slot slot) const {
        const Cell& cell = At(slot);
        if (cell.Type == Cell::Kind::Bool)
            return cell.Flag;
        if (cell.Type != Cell::Kind::String)
            return false;
        std::string text(Trimmed(cell.Text));
        for (char& c : text) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
        return text == "Y" || text == "1" || text == "TRUE";
    }

    void ValueOf(Slot slot, SbdbValue& value) const {
        if (columns_.Present[slot])
            value.Field.assign(columns_.WrittenName[slot]);
        else
            value.Field.assign(kSlotNames[slot]);
        const Cell& cell = At(slot);
        double number = NAN;
        switch (cell.Type) {
            case Cell::Kind::Number:
                number = cell.Number;
                value.Text = NumberText(number);
                break;
            case Cell::Kind::String: {
                const std::string_view text = Trimmed(cell.Text);
                value.Text.assign(text);
                number = DecimalNumber(text).value_or(NAN);
                break;
            }
            case Cell::Kind::Bool:
                value.Text.assign(cell.Flag ? "true" : "false");
                break;
            default:
                value.Text.clear();
        }
        value.Number.reset();
        if (std::isfinite(number))
            value.Number = number;
    }

    void MakeBody() {
        SbdbBody& body = body_;
        body.Row = rows_;
        TextOf(kFullName, body.FullName);
        body.Number = AsteroidNumber(body.FullName);
        SbdbValue& spk = spkValue_;
        ValueOf(kSpkId, spk);
        body.SpkIdText.assign(spk.Text);
        body.SpkId.reset();
        if (spk.Number && *spk.Number >= 1 && *spk.Number <= kLargestSpkId &&
            std::floor(*spk.Number) == *spk.Number) {
            body.SpkId = static_cast<std::uint32_t>(*spk.Number);
        }
        TextOf(kClass, body.OrbitClass);
        body.Neo = FlagOf(kNeo);
        body.Pha.reset();
        if (At(kPha).Type != Cell::Kind::Absent && At(kPha).Type != Cell::Kind::Null)
            body.Pha = FlagOf(kPha);
        for (const auto& [member, slot] : kValueFields)
            ValueOf(slot, body.*member);
        ValueOf(kEpochMjd, body.Epoch);
        if (body.Epoch.Number)
            *body.Epoch.Number += kModifiedJulianDayZero;
        else if (!body.Epoch.Given())
            ValueOf(kEpoch, body.Epoch);
        ValueOf(kPerY, body.PeriodDays);
        if (body.PeriodDays.Number)
            *body.PeriodDays.Number *= kDaysPerJulianYear;
        else if (!body.PeriodDays.Given())
            ValueOf(kPer, body.PeriodDays);
    }

    const Pass pass_;
    const std::function<void(const SbdbBody&)>* onBody_;
    int depth_ = 0;
    std::array<Role, 5> roles_{};
    std::string key_;
    bool rootIsObject_ = false;
    bool fieldsIsArray_ = false;
    bool dataIsArray_ = false;
    bool dataBeforeFields_ = false;
    bool numberOutOfRange_ = false;
    bool loneSurrogate_ = false;
    std::vector<std::string> fields_;
    int dataArrays_ = 0;
    int readDataArray_ = 0;
    int rows_ = 0;    // rows of the current "data" array so far
    int badRow_ = 0;  // the first of them that is not an array, from 1; 0 for none
    bool columnsKnown_ = false;
    Columns columns_;
    std::size_t column_ = 0;
    std::array<Cell, kSlotCount> cells_;
    Cell scratch_;
    SbdbValue spkValue_;
    SbdbBody body_;
};

constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag |
                                 rapidjson::kParseNumbersAsStringsFlag |
                                 rapidjson::kParseValidateEncodingFlag;

// Runs one pass over `stream`; the file's error, or empty.
template <typename Stream>
std::string RunPass(Stream& stream, ExportHandler& handler, const std::string& fileName) {
    rapidjson::Reader reader;
    const rapidjson::ParseResult result = reader.Parse<kParseFlags>(stream, handler);
    if (result.IsError()) {
        std::string reason = handler.StopReason() != nullptr
                                 ? handler.StopReason()
                                 : rapidjson::GetParseError_En(result.Code());
        if (!reason.empty() && reason.back() == '.')
            reason.pop_back();
        if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z')
            reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
        return fileName + ": not JSON (" + reason + " at byte " + std::to_string(result.Offset()) +
               ")";
    }
    return handler.Problem(fileName);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// RapidJSON's file stream (a piece at a time into a buffer, a NUL after the last byte), which
// also says after each piece how many bytes of the file have been read, for the progress of a
// long read.
class ReportingFileStream {
  public:
    using Ch = char;

    ReportingFileStream(std::FILE* file, std::vector<char>& buffer,
                        const std::function<void(std::uint64_t)>& onPiece)
        : file_(file), buffer_(buffer.data()), size_(buffer.size()), current_(buffer_),
          onPiece_(onPiece) {
        Read();
    }

    Ch Peek() const { return *current_; }
    Ch Take() {
        const Ch c = *current_;
        Read();
        return c;
    }
    std::size_t Tell() const { return count_ + static_cast<std::size_t>(current_ - buffer_); }

    // Never written.
    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    std::size_t PutEnd(Ch*) { return 0; }

  private:
    void Read() {
        if (current_ < last_) {
            ++current_;
        } else if (!ended_) {
            count_ += got_;
            got_ = std::fread(buffer_, 1, size_, file_);
            last_ = buffer_ + got_ - 1;
            current_ = buffer_;
            if (got_ < size_) {
                buffer_[got_] = '\0';
                ++last_;
                ended_ = true;
            }
            if (onPiece_)
                onPiece_(count_ + got_);
        }
    }

    std::FILE* file_;
    char* buffer_;
    std::size_t size_;
    char* last_ = nullptr;
    char* current_;
    std::size_t got_ = 0;    // bytes in the buffer
    std::size_t count_ = 0;  // bytes of the pieces before
    bool ended_ = false;
    const std::function<void(std::uint64_t)>& onPiece_;
};

std::string CannotRead(const std::string& fileName) {
    return fileName + ": cannot read (" + std::strerror(errno) + ")";
}

}  // namespace

SbdbFile ReadSbdbJson(const QByteArray& bytes, const std::string& fileName) {
    SbdbFile file;
    ExportHandler check(Pass::Check, nullptr);
    rapidjson::MemoryStream whole(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    file.Error = RunPass(whole, check, fileName);
    if (!file.Error.empty())
        return file;
    const std::function<void(const SbdbBody&)> keep = [&](const SbdbBody& body) {
        file.Bodies.push_back(body);
    };
    ExportHandler read(Pass::Read, &keep);
    read.ReadWith(Columns::From(check.Fields()), check.DataArrays());
    rapidjson::MemoryStream again(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    file.Error = RunPass(again, read, fileName);
    if (!file.Error.empty())
        file.Bodies.clear();
    return file;
}

std::string ReadSbdbFile(const std::string& path, const std::string& fileName,
                         const std::function<void(const SbdbBody&)>& onBody,
                         const std::function<void(std::uint64_t, std::uint64_t)>& onProgress) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return CannotRead(fileName);
    struct stat status {};
    if (::fstat(::fileno(file.get()), &status) != 0)
        return CannotRead(fileName);
    std::vector<char> buffer(kReadPiece);
    if (S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        return CannotRead(fileName);
    }
    // A file is read twice (checked, then read): the progress counts both passes. A pipe's size
    // is not known.
    const bool regular = S_ISREG(status.st_mode);
    const std::uint64_t size = regular ? static_cast<std::uint64_t>(status.st_size) : 0;
    std::uint64_t before = 0;  // bytes of the passes done
    const std::function<void(std::uint64_t)> onPiece = [&](std::uint64_t read) {
        if (onProgress)
            onProgress(before + read, 2 * size);
    };
    const auto pass = [&](ExportHandler& handler) {
        ReportingFileStream stream(file.get(), buffer, onPiece);
        std::string error = RunPass(stream, handler, fileName);
        if (error.empty() && std::ferror(file.get()))
            error = CannotRead(fileName);
        return error;
    };
    if (!regular) {
        ExportHandler once(Pass::CheckAndRead, &onBody);
        return pass(once);
    }
    ExportHandler check(Pass::Check, nullptr);
    if (std::string error = pass(check); !error.empty())
        return error;
    std::rewind(file.get());
    before = size;
    ExportHandler read(Pass::Read, &onBody);
    read.ReadWith(Columns::From(check.Fields()), check.DataArrays());
    return pass(read);
}
