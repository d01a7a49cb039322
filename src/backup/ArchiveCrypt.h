#pragma once
// The encrypted copy of Zaras.arj, for a backup that leaves the machine.
//
// File layout (integers little-endian):
//   8  magic "VLMTITK1"        9th byte: layout version (1)
//   8  Argon2id opslimit       8  Argon2id memlimit
//   16 salt                    24 secretstream header
//   then XChaCha20-Poly1305 secretstream messages: first an empty one that
//   authenticates the 41 bytes before the salt's end (a wrong passphrase
//   is told here, before any data), then the archive in 64 KiB pieces, the
//   last one tagged final. A file cut anywhere, or with a byte changed or
//   added, fails to open.
// The key is derived from the passphrase by crypto_pwhash with the file's
// own random salt; neither the passphrase nor the key is kept anywhere.
#include <string>

namespace velmora::backup {

inline constexpr const char* kEncryptedArchiveName = "Zaras.arj.titkos";

inline constexpr const char* kPassphrasePrompt = "Kérem a titkosított mentés jelszavát";
inline constexpr const char* kPassphraseAgainPrompt = "Kérem a titkosított mentés jelszavát még egyszer";
inline constexpr const char* kPassphraseRequired = "A titkosított mentés jelszavának megadása kötelező!";
inline constexpr const char* kPassphraseTooLong =
    "A titkosított mentés jelszava túl hosszú! Legfeljebb 256 karakter lehet.";
inline constexpr const char* kPassphrasesDiffer = "A két jelszó nem egyezik! Nem készült titkosított másolat.";
inline constexpr const char* kWrongPassphrase =
    "A megadott jelszóval a titkosított mentés nem nyitható ki! Hibás a jelszó, vagy a mentés eleje sérült.";
inline constexpr const char* kEncryptedDamaged = "A titkosított mentés sérült vagy csonka, nem lehet belőle visszatölteni!";

// What is wrong with a passphrase as typed: kPassphraseRequired,
// kPassphraseTooLong, or "" for none. Any character is allowed, also those
// beyond code page 852: the passphrase is never stored.
std::string passphraseProblem(const std::string& passphrase);

// The file begins with the encrypted archive's magic.
bool isEncryptedArchive(const std::string& path);

// `plain` encrypted into `target` (created or emptied, synced), then read
// back and proven: the same header, and under the key exactly the bytes of
// `plain`; throws when it is not.
void encryptArchive(const std::string& plain, const std::string& target, const std::string& passphrase);

// `encrypted` opened into `target` (created or emptied, synced). Throws
// app::UserError: kWrongPassphrase, kEncryptedDamaged, or that the file is
// no encrypted archive at all; `target` is then removed.
void decryptArchive(const std::string& encrypted, const std::string& target, const std::string& passphrase);

// `encrypted` opens with the passphrase into exactly the bytes of `plain`.
bool decryptsTo(const std::string& encrypted, const std::string& plain, const std::string& passphrase);

} // namespace velmora::backup
