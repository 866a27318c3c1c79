#pragma once
// The drops of documents as one table for a spreadsheet (see ExportFields.h for the CSV rules).

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/DropMeasures.h"
#include "document/PDDXFile.h"
#include "import/PddxDrops.h"

namespace vantrel {

class DropsApartTable;

// A table of what documents hold, written once every document is added.
class ExportTable {
public:
    virtual ~ExportTable() = default;
    // `fileName` is written as given (a name from the system, not document text). The document is
    // kept, not copied, until the table is written; it must not change meanwhile. Returns what the
    // user should know of the file's part of the table, empty if nothing; ReadError when the file
    // cannot give the table what was asked.
    virtual std::string Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document) = 0;
    // The table as one that takes a PDDX file's drops read apart from its document; nullptr
    // where it cannot.
    virtual DropsApartTable* DropsApart() { return nullptr; }
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

// A table that takes a PDDX file's drops read apart from its document (see ReadPDDXDropsApart).
class DropsApartTable {
public:
    virtual ~DropsApartTable() = default;
    // As ExportTable::Add, the drops of the document's test locations in `drops`.
    virtual std::string Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document,
                            PDDXDropValues drops) = 0;
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
class DropTable : public ExportTable, public DropsApartTable {
public:
    explicit DropTable(const ExportOptions& options = {}) : options_(options) {}
    // The note is DropMeasures::Note; ReadError when the file's loads cannot be normalised.
    std::string Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document) override;
    DropsApartTable* DropsApart() override { return this; }
    std::string Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document,
                    PDDXDropValues drops) override;
    void Write(std::ostream& out) const override;
    std::string_view RowName() const override { return "drop"; }

    // A test location's drops, as the table writes them: its elements' values, or the values
    // read apart.
    struct LocationDrops {
        std::size_t File;  // in files_
        int Number;        // n of "Test Location n"
        const PDDXSection* Section;
        std::vector<std::string_view> Values;
        std::vector<int> Numbers;  // n of each value's DropData_n; empty where they are 1, 2, 3 ...
        std::vector<const char*> Apart = {};
        const PDDXDropValues* ReadApart = nullptr;

        std::size_t Count() const { return ReadApart ? Apart.size() : Values.size(); }
        std::string_view Value(std::size_t d) const { return ReadApart ? ReadApart->Value(Apart[d]) : Values[d]; }
        int DropNumber(std::size_t d) const { return Numbers.empty() ? static_cast<int>(d + 1) : Numbers[d]; }
    };

private:
    // Adds a file whose drops `locations_` holds from `first` on.
    std::string Added(const std::string& fileName, std::shared_ptr<const PDDXFile> document, std::size_t first);

    ExportOptions options_;
    std::vector<DropMeasures> measures_;  // of each document in files_
    std::vector<LocationDrops> locations_;
    std::vector<std::unique_ptr<PDDXDropValues>> apart_;  // what locations_ read apart see
    std::size_t deflections_ = 0;
};

}  // namespace vantrel
