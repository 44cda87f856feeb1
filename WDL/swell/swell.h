#pragma once
// A Win32-style drawing shim for Linux: memory drawing contexts over 32-bit frame buffers.
// The raster library's system bitmap and the cached-font text are its clients.
//
// Threads: a context belongs to one thread at a time (the editor's user-interface thread); the
// functions keep no shared state and are not real-time safe (they allocate).
// Pixel layout: 32 bits per pixel, alpha in bits 24-31, red 16-23, green 8-15, blue 0-7; rows of
// `w` pixels, row 0 at the top.

#include <cstdint>

typedef intptr_t INT_PTR;

struct RECT
{
  int left, top, right, bottom;
};

struct HDC__;
typedef HDC__* HDC;

// Makes a memory context of w x h pixels whose frame buffer is zero-filled. `hdc` (a context to be
// compatible with) is ignored. Returns null for w or h below 1, for sizes whose byte count does not
// fit in a signed 32-bit int, and when memory runs out.
HDC SWELL_CreateMemContext(HDC hdc, int w, int h);

// Frees the context and its frame buffer. Null is ignored.
void SWELL_DeleteGfxContext(HDC ctx);

// First pixel of the frame buffer (row 0, the top row); null for a null context. The memory stays
// valid until the context is deleted.
void* SWELL_GetCtxFrameBuffer(HDC ctx);
