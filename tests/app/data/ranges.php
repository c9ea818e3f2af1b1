<?php
/**
 * Lists the posts of a category, with their authors' links.
 *
 * @param int    $category The category's id.
 * @param string $order    "date" or 'title' (default: "date").
 */
function list_posts( $category, $order = 'date' ) {
	global $wpdb, $post;
	# The cache key's order: "date" and 'title' lists differ.
	$key = "posts_{$category}_$order";
	$url = 'http://example.org/?cat=' . $category; // a "//" inside quotes isn't a comment
	$sql = "SELECT * FROM {$wpdb->posts}
		WHERE post_category = $category
		  AND post_status = 'publish' /* not a comment here */
		ORDER BY $order DESC";
	$esc = 'It\'s a \\ backslash and a \' quote';
	$tpl = "<a href=\"$url\" title=\"{$post->title}\">${key}</a> \$notavar \{$notavar}";
	$arr = "first {$list['a']['b']} then $list[b] and $obj->name->more and $a[$i]";
	$ml = 'a single-quoted string
that runs over # three
lines';
	/* a block comment that ends */ $x = 1 /* and one that does not
	   continue * here / and here
	   until it ends */ ;
	if ($x >= 0x1F && $y <<= 2 || $z->{'w'}) { echo "$x\n"; }
	return @$result ?: "{$key}";
}
$ending = "an open string at the end of the file
