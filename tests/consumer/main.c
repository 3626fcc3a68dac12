/* Links PlayDTMF and the receiver through the import library; a string
 * without symbols only stops any playback, so this needs no audio device. */
#include <stdio.h>
#include <zelnor.h>

static void ZELNOR_CALL Count(void* context, const ZelnorDigit* digit) {
  (void)digit;
  ++*(int*)context;
}

int main(void) {
  const int result = PlayDTMF("", 0, 0);
  int digits = 0;
  ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(8000, Count, &digits);
  ZelnorReceiver* receiver = NULL;
  int16_t silence[160] = {0};
  int heard = CreateDTMFReceiver(&options, &receiver);
  if (heard == ZELNOR_OK) heard = FeedDTMFReceiver(receiver, silence, 160);
  DestroyDTMFReceiver(receiver);
  printf("PlayDTMF(\"\", 0, 0) = %d, receiver = %d, digits in silence = %d\n", result, heard,
         digits);
  return result == ZELNOR_OK && heard == ZELNOR_OK && digits == 0 ? 0 : 1;
}
