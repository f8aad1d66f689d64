#include "tools/SbdbReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <map>

namespace {

constexpr double kDaysPerJulianYear = 365.25;
constexpr double kModifiedJulianDayZero = 2400000.5;

std::optional<double> NumberOf(const QJsonValue& value) {
    if (value.isDouble()) {
        return value.toDouble();
    }
    if (value.isString()) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        if (ok)
            return number;
    }
    return std::nullopt;
}

std::string TextOf(const QJsonValue& value) {
    if (value.isString())
        return value.toString().trimmed().toStdString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17).toStdString();
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
    std::map<std::string, int> column;
    const QJsonArray fields = root.value("fields").toArray();
    for (int i = 0; i < fields.size(); ++i) {
        std::string name = fields[i].toString().toLower().toStdString();
        for (char& c : name) {
            if (c == '.')
                c = '_';
        }
        column.emplace(name, i);
    }
    if (!column.count("full_name")) {
        file.Error = fileName + ": the export has no full_name field";
        return file;
    }
    for (const QJsonValue& rowValue : root.value("data").toArray()) {
        const QJsonArray row = rowValue.toArray();
        auto field = [&](const char* name) -> QJsonValue {
            const auto found = column.find(name);
            return found == column.end() || found->second >= row.size() ? QJsonValue()
                                                                        : row[found->second];
        };
        auto number = [&](const char* name) { return NumberOf(field(name)); };

        SbdbBody body;
        body.FullName = TextOf(field("full_name"));
        body.Number = AsteroidNumber(body.FullName);
        if (const auto spk = number("spkid"); spk && *spk > 0 && *spk <= 4294967295.0) {
            body.SpkId = static_cast<std::uint32_t>(*spk);
        }
        body.OrbitClass = TextOf(field("class"));
        body.Neo = FlagOf(field("neo"));
        if (!field("pha").isNull() && !field("pha").isUndefined())
            body.Pha = FlagOf(field("pha"));
        body.Eccentricity = number("e");
        body.SemiMajorAxis = number("a");
        body.PerihelionDistance = number("q");
        body.AphelionDistance = number("ad");
        body.Inclination = number("i");
        body.AscendingNode = number("om");
        body.ArgumentPerihelion = number("w");
        body.MeanAnomaly = number("ma");
        body.MeanMotion = number("n");
        body.PerihelionTime = number("tp");
        if (const auto mjd = number("epoch_mjd")) {
            body.Epoch = *mjd + kModifiedJulianDayZero;
        } else {
            body.Epoch = number("epoch");
        }
        if (const auto years = number("per_y")) {
            body.PeriodDays = *years * kDaysPerJulianYear;
        } else {
            body.PeriodDays = number("per");
        }
        body.EarthMoid = number("moid");
        body.AbsoluteMagnitude = number("h");
        body.Diameter = number("diameter");
        body.RotationPeriod = number("rot_per");
        body.Albedo = number("albedo");
        file.Bodies.push_back(std::move(body));
    }
    return file;
}
