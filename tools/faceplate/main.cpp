// brelix-faceplate OUTDIR: draws the effect editor's images into OUTDIR.
#include "Images.h"

#include <cstdio>

int main(int argc, char** argv)
{
  if (argc != 2)
  {
    std::fprintf(stderr, "usage: brelix-faceplate OUTDIR\n"
                         "Draws the Brelix editor's images (LC.png, BG.png, ... LINK.png) into OUTDIR.\n");
    return 2;
  }
  std::string error;
  if (!faceplate::WriteImages(argv[1], &error))
  {
    std::fprintf(stderr, "brelix-faceplate: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
