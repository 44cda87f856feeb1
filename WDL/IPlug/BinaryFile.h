#pragma once
// Whole-file reads and writes of raw bytes, for program and bank files.
//
// WriteAtomically never leaves a half-written file in place of an old one: it writes a
// temporary file beside the target, checks every write, flushes it to disk and renames it over
// the target. A symbolic link is followed to its target (the link stays a link), and an
// existing file keeps its permission bits; a new file gets 0666 less the process umask.
// Blocking I/O: user-interface thread only, never the audio thread. No shared state.

class ByteChunk;

class BinaryFile
{
public:
  // Largest file Read accepts, in bytes.
  static constexpr int kMaxReadSize = 1 << 30;

  // Replaces the file at path with size bytes of data. Returns false, leaving any existing
  // file untouched, when a write, the flush or the rename fails.
  static bool WriteAtomically(const char* path, const void* data, int size);

  // Replaces chunk's contents with the whole regular file at path. Returns false (chunk
  // contents unspecified) when the file cannot be opened or read, or is larger than kMaxReadSize.
  static bool Read(const char* path, ByteChunk* chunk);
};
