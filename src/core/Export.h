#pragma once
// The drops of documents as one table for a spreadsheet (see ExportFields.h for the CSV rules).

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/DropMeasures.h"
#include "document/PDDXFile.h"

namespace vantrel {

// A table of what documents hold, written once every document is added.
class ExportTable {
public:
    virtual ~ExportTable() = default;
    // `fileName` is written as given (a name from the system, not document text). The document is
    // kept, not copied, until the table is written; it must not change meanwhile. Returns what the
    // user should know of the file's part of the table, empty if nothing; ReadError when the file
    // cannot give the table what was asked.
    virtual std::string Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document) = 0;
    virtual void Write(std::ostream& out) const = 0;
    std::size_t Rows() const { return rows_; }
    virtual std::string_view RowName() const = 0;  // what a row is, in the singular

protected:
    struct Document {
        std::string Name;
        std::shared_ptr<const PDDXFile> Held;
    };
    std::vector<Document> files_;
    std::size_t rows_ = 0;
};

// The table `options` ask for.
std::unique_ptr<ExportTable> MakeExportTable(const ExportOptions& options);

// One header row, then one row per drop: documents in the order added, drops in document order.
// Columns: file, location (n of "Test Location n"), drop (n of DropData_n), station, lane,
// location_date, time, temperatures, load, D1 ... Dn (n the most deflections of any drop),
// the indices where asked, load_units, deflection_units. Values stand as the document has them; a
// drop's items are split at its commas, the blanks around each removed. A date is only what the
// document says of the drop's test location, and no element of a location holds one (TestTime is
// a time of day), so location_date stays empty: the document's start or end date would date drops
// of a survey of several days wrongly. Normalised loads are in kN, so their load_units says so.
class DropTable : public ExportTable {
public:
    explicit DropTable(const ExportOptions& options = {}) : options_(options) {}
    // The note is DropMeasures::Note; ReadError when the file's loads cannot be normalised.
    std::string Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document) override;
    void Write(std::ostream& out) const override;
    std::string_view RowName() const override { return "drop"; }

private:
    ExportOptions options_;
    std::vector<DropMeasures> measures_;  // of each document in files_
    std::size_t deflections_ = 0;
};

}  // namespace vantrel
