-- A database in another encoding than UTF-8: texts come in converted, messages go out converted,
-- and a character the encoding lacks becomes "?" instead of hiding the message.
CREATE DATABASE miralto_latin1 ENCODING 'LATIN1' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0;
\c miralto_latin1
CREATE EXTENSION miralto;
SELECT vemo_encode_notation('23°13''59.9"N', 'E113°17''39.5"') AS notation,
       vemo_encode_notation('23.236255N', '113.288959E') AS decimal_notation;
\set SHOW_CONTEXT never
SELECT vemo_encode(1, 2);
SELECT vemo_lon('ä8ak7vtpg');
SELECT vemo_encode_notation('23.2N', 'north');
\c regression
DROP DATABASE miralto_latin1;
