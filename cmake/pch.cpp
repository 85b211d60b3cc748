// The precompiled headers compile with this file; it holds nothing.
