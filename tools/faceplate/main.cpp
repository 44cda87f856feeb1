// brelix-faceplate OUTDIR: draws the effect editor's images into OUTDIR.
// brelix-faceplate --preview FILE: the faceplate with its controls composed on it, for review.
#include "Images.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
  const bool preview = argc == 3 && std::strcmp(argv[1], "--preview") == 0;
  if (argc != 2 && !preview)
  {
    std::fprintf(stderr, "usage: brelix-faceplate OUTDIR\n"
                         "       brelix-faceplate --preview FILE.png\n"
                         "Draws the Brelix editor's images (LC.png, BG.png, ... LINK.png) into OUTDIR,\n"
                         "or the faceplate with its controls composed on it into FILE.png.\n");
    return 2;
  }
  std::string error;
  if (preview ? !faceplate::WritePreview(argv[2]) : !faceplate::WriteImages(argv[1], &error))
  {
    std::fprintf(stderr, "brelix-faceplate: %s\n", preview ? (std::string("cannot write ") + argv[2]).c_str() : error.c_str());
    return 1;
  }
  return 0;
}
