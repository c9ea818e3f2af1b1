<?php
// Writes the PHP completion list, one row a line: the server variables, __FILE__ and
// __LINE__, then the interpreter's own function names together with the keywords the
// list offers, sorted ignoring case. Run it with the command-line interpreter:
//   php scripts/make-php-completion.php > src/qvedit/completion/data/php-names.txt
// The function names are those of the interpreter that runs it (its compiled-in
// extensions), so the list changes only when it is regenerated on purpose. Case is
// ignored by folding to upper case, as the program's own text comparison does, so "_"
// sorts after the letters.

$serverVariables = [
    'DOCUMENT_ROOT', 'GATEWAY_INTERFACE', 'HTTP_ACCEPT', 'HTTP_ACCEPT_CHARSET',
    'HTTP_ACCEPT_ENCODING', 'HTTP_ACCEPT_LANGUAGE', 'HTTP_CONNECTION', 'HTTP_COOKIE',
    'HTTP_HOST', 'HTTP_REFERER', 'HTTP_USER_AGENT', 'PATH_INFO', 'PATH_TRANSLATED',
    'PHP_AUTH_PW', 'PHP_AUTH_USER', 'PHP_SELF', 'QUERY_STRING', 'REMOTE_ADDR',
    'REMOTE_PORT', 'REQUEST_METHOD', 'REQUEST_URI', 'SCRIPT_FILENAME', 'SCRIPT_NAME',
    'SERVER_ADMIN', 'SERVER_NAME', 'SERVER_PORT', 'SERVER_PROTOCOL', 'SERVER_SIGNATURE',
    'SERVER_SOFTWARE',
];
$keywords = ['break', 'echo', 'for', 'foreach', 'function', 'include', 'print', 'switch', 'while'];

if (count($serverVariables) !== 29) {
    fwrite(STDERR, "expected 29 server variables\n");
    exit(1);
}

$names = array_merge(get_defined_functions()['internal'], $keywords);
$names = array_values(array_unique($names));
usort($names, fn($a, $b) => strcmp(strtoupper($a), strtoupper($b)));

foreach ($serverVariables as $variable)
    echo '$', $variable, "\n";
echo "__FILE__\n__LINE__\n";
foreach ($names as $name)
    echo $name, "\n";
