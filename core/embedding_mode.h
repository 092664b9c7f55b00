// The two ways of carrying a signature: the specified zero and one
// constraints, or the strong embedding's together constraints. The names are
// the ones users type and files carry.
#pragma once

#include <optional>
#include <string>

namespace velnor {

enum class EmbeddingMode { Specified, Strong };

inline const char *embedding_mode_name(EmbeddingMode mode) {
    return mode == EmbeddingMode::Strong ? "strong" : "specified";
}

// The mode of a name, exactly "specified" or "strong"; nullopt for anything else.
inline std::optional<EmbeddingMode> embedding_mode_named(const std::string &name) {
    if (name == "specified")
        return EmbeddingMode::Specified;
    if (name == "strong")
        return EmbeddingMode::Strong;
    return std::nullopt;
}

}  // namespace velnor
