#pragma once
// The page codec: RC4 page encryption of a database file and its rollback
// journal, as a file layer between the engine and its Windows file layer.
//
// A keyed database has every page stored encrypted in full (page 1 and its
// header too): page bytes XOR the first page-size bytes of the RC4
// keystream of the key, the same keystream for every page. The key is the
// SHA-1 digest of the password turned into an RC4 key by CryptoAPI (flags 0).
// Pages copied to the rollback journal are encrypted the same way with the
// read key. Without a key, pages pass unchanged.
//
// The parts: store/CodecKey (the key and its keystream), store/CodecVfs
// (the file layer), store/CodecAttach (keys of attached databases),
// store/RekeyJournal (the journal a rekey writes first), store/CodecSeams
// (the points tests change, none in the product).

struct sqlite3;
struct sqlite3_vfs;

// Registers the codec layer (over the engine's Windows file layer) as its
// default, once per process. Returns it.
sqlite3_vfs* EnsureCodecVfsIsDefault();

// Installs a key on the connection's main database (it does not re-encrypt:
// it states the key of an encrypted or still empty file). An empty password
// installs nothing. An engine result code.
int CodecKeyMainDatabase(sqlite3* connection, const void* password, int length);

// Re-encrypts every page of the main database under a new key inside one
// write transaction; an empty password removes the encryption. On failure
// the file stays under the old key and the connection keeps using it.
int CodecRekeyMainDatabase(sqlite3* connection, const void* password, int length);
