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
// chunk visited lies within its chunk. The compression settings the
// library reads on opening (reset table and control data) must be stored
// whole and hold values it can divide by and decompress with.
enum class ChmDirectoryFault {
    None,
    Header,      // no ITSF/ITSP header, a header cut short or of another version
    ChunkSize,   // a chunk size no help compiler writes
    Outside,     // the directory reaches beyond the file
    ChunkIndex,  // a link to a chunk that is not in the directory
    Loop,        // a chunk reached a second time
    TooDeep,     // index chunks nested deeper than the header says
    Chunk,       // a chunk of the wrong kind, an entry running past its chunk or in no section
    Compression, // compression settings cut short or unusable (a window size of 0, ...)
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
constexpr char ResetTablePart[] = "::DataSpace/Storage/MSCompressed/Transform/"
                                  "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
constexpr char ControlDataPart[] = "::DataSpace/Storage/MSCompressed/ControlData";
constexpr quint64 ResetTableSize = 0x28; // the header, before the frame offsets
constexpr quint64 MinControlDataSize = 0x18;
constexpr quint64 MaxControlDataSize = 0x100; // the library refuses larger
constexpr quint32 LzxFrameSize = 0x8000;
constexpr quint32 MinLzxWindow = 1u << 15;
constexpr quint32 MaxLzxWindow = 1u << 21;
} // namespace ChmLayout
