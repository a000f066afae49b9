#include "known_differences.h"

#include <fnmatch.h>

namespace Arkova::Conformance {

namespace {

constexpr const char* kLegacyNames =
    "names in a legacy code page (CP866, KOI8-R, EUC-JP, CP932, ...) are read in the system ANSI code page (949) "
    "or as UTF-8 where the bytes allow it; the peers write the raw bytes or decode them otherwise";
constexpr const char* kNoHandler = "the 7-Zip library has no handler for the format (lz4, lzip, WARC)";

}  // namespace

const std::vector<KnownDifference>& KnownDifferences() {
    static const std::vector<KnownDifference> kList = {
        {"test_read_format_zip_7075_utf8_paths.zip",
         "two Unicode Path fields carry the CRC of the local header's name, not the central directory's: they are "
         "not trusted, and the central names' undecodable bytes are written escaped (%94, %84); bsdtar reads the "
         "local headers instead"},
        {"test_read_format_zip_filename_utf8_ru2.zip", kLegacyNames},

        {"test_compat_lz4_*", kNoHandler},
        {"test_compat_lzip_*", kNoHandler},
        {"test_read_format_cpio_svr4*_rpm.rpm",
         "the library reads an RPM as its compressed cpio payload, 7z's view; bsdtar extracts the files inside"},
        {"*_filename_cp866.*", kLegacyNames},
        {"*_filename_koi8r.*", kLegacyNames},
        {"*_filename_eucjp.*", kLegacyNames},
        {"*_filename_cp932.*", kLegacyNames},
        {"test_read_format_lha_filename_utf16.lzh", kLegacyNames},
        {"test_read_format_cpio_filename_utf8_jp.cpio",
         "UTF-8 names whose bytes are also valid CP949 are read as CP949, the system ANSI code page"},
        {"test_pax_filename_encoding.tar", "a name that is not valid in any code page is shown with U+FFFD"},
        {"test_read_format_gtar_sparse_skip_entry.tar.Z",
         "GNU sparse files in the PAX 0.1 and 1.0 forms: the library lists them under their raw GNUSparseFile names"},
        {"test_read_format_mtree_nomagic*.mtree",
         "mtree files describe files on disk; bsdtar reads those files, there is no data"},
        {"test_read_format_lha_header3.lzh", "the library's LZH handler does not read level-3 headers"},
        {"test_fuzz.lzh",
         "the library stops listing at a damaged LZH header: the entries after it are not known, so they are not "
         "named; the damage is reported as a warning"},
        {"test_read_format_warc.warc", kNoHandler},
        {"test_read_format_rar_unicode.rar", "pending: RAR names (the RAR reader decodes this RAR 4 name otherwise)"},
        {"test_read_splitted_rar_aa",
         "volumes named _aa, _ab, ... are not recognised as one RAR set; bsdtar is handed them all at once"},
        {"test_read_format_rar5_multiarchive*.part01.rar",
         "bsdtar, handed only the first volume, writes a file that spans volumes with other contents and succeeds; "
         "arkova-cli's copy is the one unrar writes"},
    };
    return kList;
}

const char* KnownDifferenceFor(const std::string& archive) {
    for (const KnownDifference& difference : KnownDifferences()) {
        if (fnmatch(difference.archive, archive.c_str(), 0) == 0) return difference.reason;
    }
    return nullptr;
}

}  // namespace Arkova::Conformance
