// The XML form of the preferences tree:
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <preferences version="1">
//     <node name="Corvantile">
//       <node name="Window">
//         <param key="AutoHide" value="true"/>
//       </node>
//     </node>
//   </preferences>
//
// The <preferences> element is the document node: it holds the top-level nodes (and could hold
// parameters). Names, keys and values are attribute values, so any UTF-8 text fits; a string
// that XML cannot carry (control characters, invalid UTF-8) is written as hexadecimal UTF-8
// bytes in a "name-hex", "key-hex" or "value-hex" attribute instead, so nothing is lost.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "support/prefs_tree.h"

namespace corvantile::support {

// Nodes nest at most this deep below the document, and a file is at most this large; deeper or
// larger input is refused rather than read, and such a tree is never written.
inline constexpr std::size_t kPrefsMaxDepth = 64;
inline constexpr std::size_t kPrefsMaxBytes = 16 * 1024 * 1024;

// Reads a preferences document into `document`, which should be empty: its parameters and
// children become those of the <preferences> element. False when the text is not a well-formed
// preferences document (not XML, other root, NUL, invalid UTF-8, too deep, too large ...);
// `document` is then left empty. Runs in time linear in the size of the text.
bool read_prefs_xml(std::string_view text, PrefsNode& document);

// The XML text of a document whose only top-level node is `root`; nullopt when the tree is
// too deep or the text too large to be read back.
std::optional<std::string> write_prefs_xml(const PrefsNode& root);

// The XML text of a document with the parameters and children of `document` (its name is not
// written), the exact inverse of read_prefs_xml; nullopt as for write_prefs_xml.
std::optional<std::string> write_prefs_document(const PrefsNode& document);

} // namespace corvantile::support
