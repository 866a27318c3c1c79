// The Carl Bro configuration text reader, where a case file cannot say it: what the document
// already holds. Its rules are cases in data/readers/carlbro-config.cases.

#include <gtest/gtest.h>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

Expect Info(const char* key, const char* value) { return {"Device Information", key, value}; }

// Later geophones add to the serial numbers the document already holds.
TEST(CarlBroConfigRead, LaterGeophonesAddToWhatTheDocumentHolds)
{
    ReaderRun run;
    run.Document.Element("Device Information", "SensorSerialNumbers").SetValue("A, B");
    run.Read(FileType::CarlBroIni, {"Geophone nr.\t4", "ID\tG104"}, "CFG.FWD");
    run.ExpectValues({Info("SensorSerialNumbers", "A, B, G104"), {"Operations Information", "FileName", "CFG.DDX"}});
}

}  // namespace
}  // namespace vantrel::test
