#pragma once

#include <QtGlobal>

class QIODevice;

// The directory of a compiled help file (an ITSF archive), checked before
// the help library reads it. The library follows the file's own chunk
// links without bounds: a listing chunk whose "next" link leads back, or an
// index chunk that points at itself, keeps it reading for ever, and entries
// that run past their chunk are read past its buffer. A file passes when
// its headers are whole, every chunk index lies within the directory, the
// listing chain visits each chunk at most once, the index tree reaches a
// listing chunk within the depth the header gives, and every entry of every
// chunk visited lies within its chunk.
enum class ChmDirectoryFault {
    None,
    Header,     // no ITSF/ITSP header, a header cut short or of another version
    ChunkSize,  // a chunk size no help compiler writes
    Outside,    // the directory reaches beyond the file
    ChunkIndex, // a link to a chunk that is not in the directory
    Loop,       // a chunk reached a second time
    TooDeep,    // index chunks nested deeper than the header says
    Chunk,      // a chunk of the wrong kind, or an entry running past its chunk
};

ChmDirectoryFault checkChmDirectory(QIODevice &file);

// Where the parts of the check lie (for building test files).
namespace ChmLayout {
constexpr int ItsfV3Size = 0x60;
constexpr int ItspSize = 0x54;
constexpr int ListingHeaderSize = 0x14; // "PMGL"
constexpr int IndexHeaderSize = 0x08;   // "PMGI"
constexpr quint32 MinChunkSize = 0x100;
constexpr quint32 MaxChunkSize = 0x10000;
constexpr int MaxIndexDepth = 16;
constexpr int MaxNameLength = 512;
} // namespace ChmLayout
