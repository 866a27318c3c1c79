#include "core/OutputChecks.h"

#include <filesystem>
#include <optional>
#include <unordered_map>

#include "base/Platform.h"

namespace vantrel {
namespace {

struct IdentityHash {
    std::size_t operator()(const platform::FileIdentity& identity) const
    {
        return std::hash<std::uint64_t>()(identity.Number * 1000003u ^ identity.Device);
    }
};

std::string NormalName(const std::string& name)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(name, error);
    return (error ? std::filesystem::path(name) : absolute).lexically_normal().string();
}

}  // namespace

std::vector<OutputConflict> FindOutputConflicts(const std::vector<std::string>& outputs,
                                                const std::vector<std::string>& inputs)
{
    std::unordered_map<platform::FileIdentity, std::size_t, IdentityHash> inputFiles, outputFiles;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        platform::FileIdentity identity;
        const bool known = inputs[i] == "-" ? platform::IdentifyStandardInput(identity)
                                            : platform::IdentifyFile(inputs[i], identity);
        if (known) inputFiles.emplace(identity, i);
    }
    std::unordered_map<std::string, std::size_t> outputNames;
    std::vector<OutputConflict> conflicts;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (outputs[i] == "-") continue;
        const auto [named, newName] = outputNames.emplace(NormalName(outputs[i]), i);
        if (!newName) {
            conflicts.push_back({OutputConflict::Kind::SharedOutput, i, named->second});
            continue;
        }
        platform::FileIdentity identity;
        if (!platform::IdentifyFile(outputs[i], identity)) continue;
        if (const auto input = inputFiles.find(identity); input != inputFiles.end()) {
            conflicts.push_back({OutputConflict::Kind::ReplacesInput, i, input->second});
            continue;
        }
        if (const auto [file, newFile] = outputFiles.emplace(identity, i); !newFile)
            conflicts.push_back({OutputConflict::Kind::SharedOutput, i, file->second});
    }
    return conflicts;
}

std::optional<OutputConflict> FindConflictOf(const std::string& file, const std::vector<std::string>& outputs,
                                             const std::vector<std::string>& inputs)
{
    if (file == "-") return std::nullopt;
    platform::FileIdentity identity, other;
    const bool exists = platform::IdentifyFile(file, identity);
    if (exists)
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            const bool known = inputs[i] == "-" ? platform::IdentifyStandardInput(other)
                                                : platform::IdentifyFile(inputs[i], other);
            if (known && other == identity) return OutputConflict{OutputConflict::Kind::ReplacesInput, 0, i};
        }
    const std::string name = NormalName(file);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (outputs[i] == "-") continue;
        if (NormalName(outputs[i]) == name ||
            (exists && platform::IdentifyFile(outputs[i], other) && other == identity))
            return OutputConflict{OutputConflict::Kind::SharedOutput, 0, i};
    }
    return std::nullopt;
}

}  // namespace vantrel
