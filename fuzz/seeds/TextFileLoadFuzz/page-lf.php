<?php
// Greets the visitor by name.
$name = isset($_GET['name']) ? $_GET['name'] : 'world';
function greet($who) {
    /* a block comment */
    return "Hello, {$who}! It is " . date('H:i') . "\n";
}
echo greet(htmlspecialchars($name));
$list = array(1, 2.5, 0x1F, 'it\'s');
foreach ($list as $k => $v) { print "$k=$v<br>"; }
$text = <<<EOT
Heredoc with $name
EOT;
?>
