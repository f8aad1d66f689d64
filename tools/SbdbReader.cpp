#include "tools/SbdbReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <cmath>
#include <map>
#include <utility>

#include "tools/NumberText.h"

namespace {

constexpr double kDaysPerJulianYear = 365.25;
constexpr double kModifiedJulianDayZero = 2400000.5;
constexpr double kLargestSpkId = 4294967295.0;

// The values read as written, by field name (lower case, '_' for '.').
constexpr std::pair<SbdbValue SbdbBody::*, const char*> kValueFields[] = {
    {&SbdbBody::Eccentricity, "e"},       {&SbdbBody::SemiMajorAxis, "a"},
    {&SbdbBody::PerihelionDistance, "q"}, {&SbdbBody::AphelionDistance, "ad"},
    {&SbdbBody::Inclination, "i"},        {&SbdbBody::AscendingNode, "om"},
    {&SbdbBody::ArgumentPerihelion, "w"}, {&SbdbBody::MeanAnomaly, "ma"},
    {&SbdbBody::MeanMotion, "n"},         {&SbdbBody::PerihelionTime, "tp"},
    {&SbdbBody::EarthMoid, "moid"},       {&SbdbBody::AbsoluteMagnitude, "h"},
    {&SbdbBody::Diameter, "diameter"},    {&SbdbBody::RotationPeriod, "rot_per"},
    {&SbdbBody::Albedo, "albedo"},
};

SbdbValue ValueOf(const std::string& field, const QJsonValue& value) {
    SbdbValue result;
    result.Field = field;
    double number = NAN;
    if (value.isDouble()) {
        number = value.toDouble();
        result.Text = NumberText(number);
    } else if (value.isString()) {
        const QString text = value.toString().trimmed();
        result.Text = text.toStdString();
        bool ok = false;
        number = text.toDouble(&ok);
        if (!ok)
            number = NAN;
    } else if (value.isBool()) {
        result.Text = value.toBool() ? "true" : "false";
    }
    if (std::isfinite(number))
        result.Number = number;
    return result;
}

std::string TextOf(const QJsonValue& value) {
    if (value.isString())
        return value.toString().trimmed().toStdString();
    if (value.isDouble())
        return NumberText(value.toDouble());
    return {};
}

bool FlagOf(const QJsonValue& value) {
    const QString text = value.toString().trimmed().toUpper();
    return text == "Y" || text == "1" || text == "TRUE" || (value.isBool() && value.toBool());
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

}  // namespace

SbdbFile ReadSbdbJson(const QByteArray& bytes, const std::string& fileName) {
    SbdbFile file;
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (document.isNull()) {
        file.Error = fileName + ": not JSON (" + parseError.errorString().toStdString() +
                     " at byte " + std::to_string(parseError.offset) + ")";
        return file;
    }
    const QJsonObject root = document.object();
    if (!root.value("fields").isArray() || !root.value("data").isArray()) {
        file.Error =
            fileName + ": not an SBDB Query API export (no \"fields\" and \"data\" arrays)";
        return file;
    }
    // Each field by its name in lower case with '_' for '.': its column and its name as written.
    std::map<std::string, std::pair<int, std::string>> column;
    const QJsonArray fields = root.value("fields").toArray();
    for (int i = 0; i < fields.size(); ++i) {
        std::string name = fields[i].toString().toLower().toStdString();
        for (char& c : name) {
            if (c == '.')
                c = '_';
        }
        column.emplace(name, std::make_pair(i, fields[i].toString().toStdString()));
    }
    if (!column.count("full_name")) {
        file.Error = fileName + ": the export has no full_name field";
        return file;
    }
    const QJsonArray data = root.value("data").toArray();
    for (int r = 0; r < data.size(); ++r) {
        if (!data[r].isArray()) {
            file.Bodies.clear();
            file.Error = fileName + ": row " + std::to_string(r + 1) +
                         " of \"data\" is not an array of values";
            return file;
        }
        const QJsonArray row = data[r].toArray();
        auto field = [&](const char* name) -> QJsonValue {
            const auto found = column.find(name);
            return found == column.end() || found->second.first >= row.size()
                       ? QJsonValue()
                       : row[found->second.first];
        };
        auto value = [&](const char* name) {
            const auto found = column.find(name);
            return ValueOf(found == column.end() ? name : found->second.second, field(name));
        };

        SbdbBody body;
        body.Row = r + 1;
        body.FullName = TextOf(field("full_name"));
        body.Number = AsteroidNumber(body.FullName);
        const SbdbValue spk = value("spkid");
        body.SpkIdText = spk.Text;
        if (spk.Number && *spk.Number >= 1 && *spk.Number <= kLargestSpkId &&
            std::floor(*spk.Number) == *spk.Number) {
            body.SpkId = static_cast<std::uint32_t>(*spk.Number);
        }
        body.OrbitClass = TextOf(field("class"));
        body.Neo = FlagOf(field("neo"));
        if (!field("pha").isNull() && !field("pha").isUndefined())
            body.Pha = FlagOf(field("pha"));
        for (const auto& [member, name] : kValueFields)
            body.*member = value(name);
        body.Epoch = value("epoch_mjd");
        if (body.Epoch.Number)
            *body.Epoch.Number += kModifiedJulianDayZero;
        else if (!body.Epoch.Given())
            body.Epoch = value("epoch");
        body.PeriodDays = value("per_y");
        if (body.PeriodDays.Number)
            *body.PeriodDays.Number *= kDaysPerJulianYear;
        else if (!body.PeriodDays.Given())
            body.PeriodDays = value("per");
        file.Bodies.push_back(std::move(body));
    }
    return file;
}
