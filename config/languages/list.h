// The languages the launcher speaks besides English, one line each: a
// language's file in this folder defines the Language of the name given.
// A name the user's language is known by is matched against them in this
// order, the first match winning (so no alias may begin with an alias of a
// language above it).
LANGUAGE(French)
LANGUAGE(German)
LANGUAGE(Spanish)
LANGUAGE(Polish)
LANGUAGE(Japanese)
LANGUAGE(Italian)
LANGUAGE(Portuguese)
LANGUAGE(Dutch)
