// What the key file records of a run after embedding: the design's adder and
// multiplier counts and every figure of the embedding. The window's Save and
// the batch tool fill the stego-key fields from their own copy of the key.
#pragma once

#include "core/design.h"
#include "core/key_file.h"
#include "synthesis/embedding.h"

namespace velnor {

// The resource counts and the figures; the key fields are left empty.
KeyFileContents key_file_contents(const Design &design, const EmbeddingFigures &figures);

}  // namespace velnor
