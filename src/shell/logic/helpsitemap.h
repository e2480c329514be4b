#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The contents of a compiled help file: its contents file (a "sitemap" of
// nested lists of <object type="text/sitemap"> entries) as a flat list of
// entries with their depth, in the order they appear.
struct HelpContentsEntry {
    QString name;
    QString page; // empty for a heading without a page of its own
    int depth = 0;

    bool operator==(const HelpContentsEntry &o) const
    {
        return name == o.name && page == o.page && depth == o.depth;
    }
};

// Lists nested deeper than MaxContentsDepth put their entries at that depth,
// so that a crafted file cannot build a tree too deep to show; entries past
// MaxContentsEntries are left out.
constexpr int MaxContentsDepth = 8;
constexpr int MaxContentsEntries = 1000;
QVector<HelpContentsEntry> parseHelpContents(const QString &sitemap);

// What the help compiler records about a file in its "#SYSTEM" part.
struct HelpSystemInfo {
    QString title;
    QString contentsFile; // "toc.hhc"
    QString defaultPage;  // "readme/welcome.doc"
};

// Reads the records of a "#SYSTEM" part: a 4-byte version, then records of
// a 2-byte code, a 2-byte length and that many bytes (little-endian). A
// record that runs past the end ends the reading.
HelpSystemInfo parseHelpSystemInfo(const QByteArray &system);
