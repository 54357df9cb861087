// What libjpeg may spend on one picture, for the layer's JPEG decoder and the tool's thumbnails. A file of
// several scans (progressive, or sequential with a scan per component) is held whole as coefficients, 128
// bytes for every 8 x 8 block of every component, and each scan passes over all the blocks of its
// components: a 1 MB file of a thousand tiny scans over 16383 x 16383 pixels took half a minute and over
// 2 GB. So each scan is charged the blocks it visits, against a budget that grows with the picture, and
// the coefficients may take no more memory than the largest bitmap the layer holds.
#pragma once

#include <algorithm>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include "../Gdiplus.h"

namespace Gdiplus {

// Past this many scans a file is refused, whatever its size.
const int kMaxJpegScans = 1000;
// The work of this many passes over every block of the picture is allowed. The progressive files encoders
// write need about six (libjpeg's own progression: ten scans, worth six passes for grey or CMYK pictures
// and five for colour), and a pass costs about 12 ns a block: 2.4 s more for the largest 4:2:0 picture.
const long long kJpegPassesAllowed = 32;
// However small the picture, this many block visits are allowed (about 12 ms of work).
const long long kJpegBlocksAlwaysAllowed = 1LL << 20;
// libjpeg's memory for one picture: as much as the largest bitmap (the coefficients of a 4:2:0 picture of
// 2^28 pixels take 768 MiB, of a 4:2:2 one 1 GiB), with room for its tables and rows.
const long kMaxJpegMemory = static_cast<long>(kMaxBitmapPixels) * 4 + (64L << 20);

// libjpeg's progress monitor with what is left of the budget (the monitor comes first, so that libjpeg's
// pointer to it leads back to the budget).
struct JpegBudget {
    jpeg_progress_mgr monitor{};
    long long blocksLeft = 0;
    int scansCharged = 0;
    bool exceeded = false;
};

inline long long JpegBlocksOf(const jpeg_component_info& component)
{
    return static_cast<long long>(component.width_in_blocks) * component.height_in_blocks;
}

// Called by libjpeg before it takes in each row of a scan: a new scan is charged the blocks of its
// components before any of them is visited, and past the budget the decoding ends as on an error.
inline void ChargeJpegScan(j_common_ptr common)
{
    auto& info = *reinterpret_cast<j_decompress_ptr>(common);
    auto& budget = *reinterpret_cast<JpegBudget*>(info.progress);
    if (info.input_scan_number == budget.scansCharged) return;
    budget.scansCharged = info.input_scan_number;
    for (int i = 0; i < info.comps_in_scan; ++i) budget.blocksLeft -= JpegBlocksOf(*info.cur_comp_info[i]);
    if (budget.blocksLeft >= 0 && budget.scansCharged <= kMaxJpegScans) return;
    budget.exceeded = true;
    common->err->error_exit(common);
}

// Holds the decoding of info, whose header has been read, to the budget and to the memory bound.
inline void LimitJpegWork(jpeg_decompress_struct& info, JpegBudget& budget)
{
    long long blocks = 0;
    for (int i = 0; i < info.num_components; ++i) blocks += JpegBlocksOf(info.comp_info[i]);
    // A picture of several scans keeps the coefficients of every block (64 values of two bytes) through the
    // whole decode: beyond the memory bound it is refused here, before libjpeg allocates any of them.
    if (jpeg_has_multiple_scans(&info) && blocks * 128 > kMaxJpegMemory) {
        budget.exceeded = true;
        info.err->error_exit(reinterpret_cast<j_common_ptr>(&info));
    }
    budget.blocksLeft = std::max(kJpegPassesAllowed * blocks, kJpegBlocksAlwaysAllowed);
    budget.monitor.progress_monitor = ChargeJpegScan;
    info.progress = &budget.monitor;
    // libjpeg asks for a temporary file when its arrays would pass this; it has none, and fails at once.
    info.mem->max_memory_to_use = kMaxJpegMemory;
}

// True when the decoding ended because the picture would have passed the budget or the memory bound.
inline bool JpegWorkRefused(const jpeg_decompress_struct& info, const JpegBudget& budget)
{
    return budget.exceeded || info.err->msg_code == JERR_NO_BACKING_STORE;
}

}  // namespace Gdiplus
