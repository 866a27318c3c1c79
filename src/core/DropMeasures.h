#pragma once
// The numbers export computes from a drop: its deflections scaled to a standard load, and the
// indices of the deflection bowl with the surface modulus under the plate.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ExportFields.h"
#include "document/PDDXFile.h"

namespace vantrel {

// How a document's loads become kN: a force by its unit, a pressure times the plate's area; or
// why they cannot (without a file name: "its LoadUnits ...").
struct LoadScale {
    std::optional<double> KilonewtonsPerLoad;
    std::string Problem;
};
LoadScale LoadScaleOf(const PDDXFile& document);
// The plate radius in millimetres, where the document gives a positive one in a known length.
std::optional<double> PlateMillimetres(const PDDXFile& document);

// Room for a drop's items and their numbers, kept from drop to drop by the thread that writes them.
struct DropRoom {
    std::vector<std::string_view> Items;
    std::vector<std::optional<double>> Numbers;
};

// What one document's units and device configuration allow computing from its drops. Indices:
// SCI = D0 - D300, BDI = D300 - D600, BCI = D600 - D900 in the document's deflection units, with Dx
// the deflection of the sensor x mm in front of the plate centre (a positive offset; a sensor behind
// the plate is never taken, but D0 may lie on either side); AREA = 6 (D0 + 2 D300 + 2 D600 + D900) / D0
// in inches; E0 = 2 (1 - nu^2) sigma a / D0 in MPa, sigma the contact pressure, a the plate radius.
class DropMeasures {
public:
    static constexpr std::array<std::string_view, 5> kIndexTitles = {"SCI", "BDI", "BCI", "AREA (in)", "E0 (MPa)"};

    DropMeasures(const PDDXFile& document, const std::string& fileName, const ExportOptions& options);

    // Where loads are normalised, ReadError naming the file unless its loads can be turned into kN,
    // and naming the drop too unless the drop's load (the first item of its value) is a positive
    // number.
    void CheckLoad(int location, int drop, std::string_view value) const;

    // Appends the load and the deflections of a drop's value, padded with empty fields to `width`
    // (the table's load and deflection columns), normalised where asked, then the indices where
    // asked.
    void WriteFields(std::string& row, std::string_view drop, std::size_t width, DropRoom& room) const;
    // The same written at `to`, which has room for FieldsRoom(drop.size(), width) characters, where
    // that needs no more than numbers written as they stand and rounded (nearly every drop): the
    // end; nullptr, and `to` left to be written again, for a drop that needs WriteFields.
    char* WriteFields(char* to, std::string_view drop, std::size_t width, DropRoom& room) const;
    static constexpr std::size_t FieldsRoom(std::size_t size, std::size_t width)
    {
        return ItemFieldsRoom(size, width) + kIndexTitles.size() * (kRoundedRoom + 1);
    }

    // Which sensors the indices took, and which could not be computed and why; empty without indices.
    const std::string& Note() const { return note_; }

private:
    void FindSensors(const PDDXFile& document);
    void WriteNormalised(std::string& row, std::string_view drop, std::size_t width, DropRoom& room) const;
    // The indices of a drop with these deflections at 0, 300, 600 and 900 mm (NaN where missing).
    std::array<double, 5> Indices(const std::array<double, 4>& d, double loadKn) const;
    // Those indices as fields.
    void WriteIndices(std::string& row, const std::array<double, 4>& d, double loadKn) const;
    // The same written at `to`, with room for kIndexTitles.size() * (kRoundedRoom + 1) characters:
    // the end, or nullptr where a number needs AppendRoundedPlainText.
    char* WriteIndices(char* to, const std::array<double, 4>& d, double loadKn) const;
    // The deflections the indices take, and the load in kN, of a drop whose items are `items`.
    std::array<double, 4> IndexDeflections(const std::vector<std::string_view>& items) const;
    double LoadKn(const std::vector<std::string_view>& items) const;

    std::string fileName_;
    ExportOptions options_;
    std::optional<double> plateMm_;    // the plate radius
    std::optional<double> knPerLoad_;  // a load in the document's unit as kN
    std::optional<double> micronsPerDeflection_;
    std::string loadProblem_;                            // why knPerLoad_ is missing
    std::array<std::optional<std::size_t>, 4> sensors_;  // the deflections at 0, 300, 600 and 900 mm
    std::string note_;
    std::string normalLoad_;  // the load every drop is normalised to, as written in each row
};

}  // namespace vantrel
