#pragma once

#include <cstddef>
#include <functional>

#include "exporter/writer/XmlTextWriter.h"

namespace Exporter {

// How a long record list is cut for formatting side by side.
struct RecordBatching {
    std::size_t recordsPerChunk = 4096;
    std::size_t threads = 0;  // 0: one per core
};

// Writes `count` records at the writer's current position, in order, each
// as writeRecord(writer, i) writes it; every record must close what it
// opens. A list of at least two chunks is formatted in rounds of a few
// chunks, the chunks of a round into memory on several threads at once,
// and written in order while the next round is formatted; the file is the same, byte for byte, as one record
// after another on one thread gives (apart from the random identifiers,
// which each thread draws from a generator of its own). A failure in a
// chunk (a value too long for a reader) fails the writer with that chunk's
// message, as writing on one thread would; a failure thrown in a chunk is
// thrown again here, the file then left unfinished for the caller to
// throw away.
void writeRecords(XmlTextWriter& xml, std::size_t count,
                  const std::function<void(XmlTextWriter&, std::size_t)>& writeRecord,
                  const RecordBatching& batching = {});

}  // namespace Exporter
