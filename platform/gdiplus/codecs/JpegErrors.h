// libjpeg's error handling for the layer's JPEG encoder and decoder: a failure jumps back to the caller's
// setjmp on `jump`, and no message (a warning about a file cut short, say) reaches the terminal.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace Gdiplus {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] inline void JumpBackOnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

inline void StayQuietOnJpegMessage(j_common_ptr, int) {}

// Makes `errors` the error handler of a compress or decompress record.
inline jpeg_error_mgr* AttachJpegErrors(JpegErrors& errors)
{
    jpeg_error_mgr* manager = jpeg_std_error(&errors.manager);
    manager->error_exit = JumpBackOnJpegError;
    manager->emit_message = StayQuietOnJpegMessage;
    return manager;
}

}  // namespace Gdiplus
