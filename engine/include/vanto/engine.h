/*
 * Vanto composition engine: the only public interface of the engine library.
 *
 * The engine turns a stream of key characters into a Vietnamese word. It keeps
 * the word being composed (one entry per key, so undoing a key recomputes
 * nothing) and a history of the two most recently finished words, so that
 * Backspace can step back into the previous word. Each engine also remembers
 * what keys did to the words it has composed (16 KB, growing once to 512 KB
 * over the first sentences typed), so that a word typed again costs a
 * fraction of the first time; that memory never changes an answer.
 *
 * Conventions shared by every function below:
 *  - Every function takes the engine handle first. A null handle makes the
 *    function do nothing and return 0.
 *  - One engine is used by one thread at a time: the caller serialises all
 *    calls on one handle. Different handles may be used from different threads
 *    at once; the rule tables and dictionaries they share are read-only.
 *  - Lengths and counts are unsigned 64-bit. Character counts are counts of
 *    Unicode scalar values; only vt_engine_text speaks in bytes (UTF-8).
 *  - No function reports an error and none lets a failure reach the caller: an
 *    internal failure inside vt_engine_add_key, vt_engine_delete_char or
 *    vt_engine_push_state abandons the operation and resets the engine to an
 *    empty word with an empty history (configuration kept);
 *    vt_engine_failure_count counts these. Running out of memory is not
 *    recovered from: it ends the process.
 */
#ifndef VANTO_ENGINE_H
#define VANTO_ENGINE_H

#include <stdint.h>

#if defined(_WIN32)
#define VT_ENGINE_API
#else
#define VT_ENGINE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque engine handle. */
typedef struct vt_engine vt_engine;

/* Text kinds for vt_engine_text. */
enum {
    VT_ENGINE_TEXT_RESULT = 0,    /* the composed word as it stands now */
    VT_ENGINE_TEXT_COMMITTED = 1, /* what stays on screen if the word ends now */
    VT_ENGINE_TEXT_RAW = 2        /* the keys of the word, as typed */
};

/*
 * Creates an engine: empty word, empty history, Telex keys, spell check on,
 * standard tone style ("hòa, thủy"), quick "ư" off, tone removal by z off.
 * The shared rule tables are built on the first call in the process (safe if
 * two threads race). Never returns null: running out of memory ends the
 * process. Release the engine with vt_engine_free.
 */
VT_ENGINE_API vt_engine* vt_engine_new(void);

/* Releases the engine, its word and its history. Null is accepted. */
VT_ENGINE_API void vt_engine_free(vt_engine* engine);

/* Empties the word and the history; the configuration stays. */
VT_ENGINE_API void vt_engine_reset(vt_engine* engine);

/*
 * Sets the options. Each argument counts as on when nonzero:
 *  telex       1 = Telex letter keys (s f r x j z, aa, w, dd), 0 = digit keys
 *              (1-5 tones, 6-9 marks, 0 removes the tone)
 *  spell_check leave English words as typed and give up on spellings that are
 *              not Vietnamese
 *  std_tone    tone on the first vowel of a final oa, oe, uy ("hòa, thủy");
 *              off puts it on the second ("hoà, thuỷ")
 *  telex_w     "w" on an empty word types "ư"
 *  telex_z     "z" removes the tone
 * The word being composed is not touched; the options apply from the next key.
 */
VT_ENGINE_API void vt_engine_configure(vt_engine* engine, uint32_t telex, uint32_t spell_check,
                                       uint32_t std_tone, uint32_t telex_w, uint32_t telex_z);

/*
 * Gives the engine one key character (a Unicode scalar value). Surrogates
 * (U+D800..U+DFFF) and values above U+10FFFF are ignored. Afterwards the word
 * has exactly one more key.
 */
VT_ENGINE_API void vt_engine_add_key(vt_engine* engine, uint32_t character);

/* Removes the last key of the word; the word reads as it did before that key.
 * Nothing happens on an empty word. */
VT_ENGINE_API void vt_engine_backspace(vt_engine* engine);

/* The composed word loses its last character ("việt" becomes "việ"), re-typing
 * the keys of what remains when needed. Nothing happens on an empty word. */
VT_ENGINE_API void vt_engine_delete_char(vt_engine* engine);

/*
 * Ends the word: files it into the history together with its committed text
 * (see VT_ENGINE_TEXT_COMMITTED) and starts an empty word. Called once for each
 * word-boundary character the application types; without a live word it only
 * counts one more boundary character after the newest finished word.
 * Returns how many characters fell out of the front of the history (the oldest
 * word's committed text plus its boundary characters), 0 if none.
 */
VT_ENGINE_API uint64_t vt_engine_push_state(vt_engine* engine);

/*
 * vt_engine_push_state for a word the caller keeps as typed: the word is filed
 * with its keys (VT_ENGINE_TEXT_RAW) as its committed text, so that the counts
 * vt_engine_pop_state and later evictions return are those of the keys. Going
 * back into the word with vt_engine_pop_state makes its composition live again.
 */
VT_ENGINE_API uint64_t vt_engine_push_state_as_typed(vt_engine* engine);

/*
 * Backspace over a word boundary, only when no word is live. Returns how many
 * characters the application must drop from the end of its record of past
 * text: 1 when one boundary character was deleted, the committed length + 1
 * when the previous word became the live word again, 0 when nothing happened.
 */
VT_ENGINE_API uint64_t vt_engine_pop_state(vt_engine* engine);

/*
 * Writes the text of the given kind as UTF-8, with no terminating zero.
 * Returns its full length in bytes. The bytes are copied only when buffer is
 * not null and the length is not greater than capacity; otherwise nothing is
 * written and the caller may call again with a buffer of the returned size.
 * Kinds other than 1 and 2 return the composed word (kind 0).
 */
VT_ENGINE_API uint64_t vt_engine_text(const vt_engine* engine, uint32_t kind, char* buffer,
                                      uint64_t capacity);

/*
 * Whether the text (UTF-8, bytes long, case ignored) is a word of the English
 * list the spell check keeps as typed: words of 4 or more letters by their
 * first 7 letters, shorter ones only when they end in a Telex tone key (as, of,
 * has). Returns 1 or 0; text with anything but ASCII letters gives 0. Reads no
 * state of the engine and allocates nothing.
 */
VT_ENGINE_API uint32_t vt_engine_is_english_word(const vt_engine* engine, const char* utf8,
                                                 uint64_t bytes);

/* Number of keys of the live word. */
VT_ENGINE_API uint64_t vt_engine_raw_len(const vt_engine* engine);

/* Number of characters (not bytes) of the composed word; 0 when empty. */
VT_ENGINE_API uint64_t vt_engine_result_len(const vt_engine* engine);

/* Number of finished words in the history: 0, 1 or 2. */
VT_ENGINE_API uint64_t vt_engine_state_stack_len(const vt_engine* engine);

/*
 * Internal failures this engine has recovered from since it was created (the
 * resets described above, and committed texts that read as empty because
 * computing them failed). Always 0 unless the engine has a bug; tests and
 * fuzzing check it. vt_engine_reset does not clear it.
 */
VT_ENGINE_API uint64_t vt_engine_failure_count(const vt_engine* engine);

#ifdef __cplusplus
}
#endif

#endif /* VANTO_ENGINE_H */
