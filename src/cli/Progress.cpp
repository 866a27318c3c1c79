#include "cli/Progress.h"

#include <cstdio>

namespace vantrel {
namespace {

constexpr auto kQuietTime = std::chrono::seconds(1);
constexpr auto kInterval = std::chrono::milliseconds(200);

std::string ByteText(std::uint64_t bytes)
{
    if (bytes < 1000) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    const char* const units[] = {"kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1000;
    std::size_t unit = 0;
    while (value >= 1000 && unit + 1 < std::size(units)) value /= 1000, ++unit;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, bool shown, std::function<Clock::time_point()> now)
    : out_(out), shown_(shown), now_(std::move(now)), start_(now_()), last_(start_)
{
}

void ProgressLine::Files(std::size_t total)
{
    files_ = total;
    done_ = 0;
}

void ProgressLine::Read(std::size_t bytes)
{
    bytes_ += bytes;
    Update();
}

void ProgressLine::FileDone()
{
    ++done_;
    Update();
}

std::string ProgressLine::Text() const
{
    return std::to_string(done_) + " of " + std::to_string(files_) + (files_ == 1 ? " file, " : " files, ") +
           ByteText(bytes_) + " read";
}

void ProgressLine::Update()
{
    if (!shown_) return;
    const Clock::time_point now = now_();
    if (now - start_ < kQuietTime || (width_ > 0 && now - last_ < kInterval)) return;
    last_ = now;
    const std::string text = "vantrel: " + Text();
    // Blanks over what a longer line before left.
    out_ << '\r' << text << std::string(width_ > text.size() ? width_ - text.size() : 0, ' ') << std::flush;
    width_ = text.size();
}

void ProgressLine::Wipe()
{
    if (width_ == 0) return;
    out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    width_ = 0;
}

}  // namespace vantrel
