#pragma once
// The test locations of documents as a map: a GeoJSON FeatureCollection (RFC 7946), text in UTF-8.

#include "core/Export.h"

namespace vantrel {

// One Point feature per test location with a GPS fix, documents and locations in order; its
// coordinates [longitude, latitude] from GPSLocation ("latitude, longitude[, altitude]" in
// degrees), its properties file, location (n of "Test Location n"), station, peak_load and peak_D1
// (the largest load and first deflection of its drops; null without one), load_units and
// deflection_units. A document marks no fix as valid or not (readers drop the failed ones), so a
// fix is taken where both numbers parse, lie within +-90 and +-180, and are not both 0, which
// receivers write for no fix.
class LocationMap : public ExportTable {
public:
    std::string Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document) override;
    void Write(std::ostream& out) const override;
    std::string_view RowName() const override { return "location"; }
};

}  // namespace vantrel
