#ifndef OFX_KEY_SYMS_H
#define OFX_KEY_SYMS_H

/* Key action arguments. Key symbols follow the X11 keysym codes. */

#ifdef __cplusplus
extern "C" {
#endif

/* Both values start with "k", unlike almost every other value. */
#define kOfxPropKeySym "kOfxPropKeySym"
#define kOfxPropKeyString "kOfxPropKeyString"

#define kOfxKey_Unknown 0x0

#ifdef __cplusplus
}
#endif

#endif /* OFX_KEY_SYMS_H */
