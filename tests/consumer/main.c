/* Links PlayDTMF through the import library; a string without symbols only
 * stops any playback, so this needs no audio device. */
#include <stdio.h>
#include <zelnor.h>

int main(void) {
  const int result = PlayDTMF("", 0, 0);
  printf("PlayDTMF(\"\", 0, 0) = %d\n", result);
  return result == ZELNOR_OK ? 0 : 1;
}
