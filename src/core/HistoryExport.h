#pragma once
// The time histories of documents as one long table, one row per sample (CSV as in ExportFields.h).

#include "core/Export.h"

namespace vantrel {

// Columns: file, location (n of "Test Location n"), drop and sample (d and s of
// DropHistoryData_d_s), time (s), load, D1 ... Dn as the sample has them. The time is
// (sample - 1) / the sampling frequency in Hertz: DropHistoryDataFrequency of the test location,
// else of "Deflection Data", else of "Device Configuration"; empty where none is a positive number.
class HistoryTable : public ExportTable {
public:
    std::string Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document) override;
    void Write(std::ostream& out) const override;
    std::string_view RowName() const override { return "sample"; }

private:
    std::size_t deflections_ = 0;
};

}  // namespace vantrel
