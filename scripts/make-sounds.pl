#!/usr/bin/perl
# Writes the program's sounds, short generated tones, as WAV files (16-bit mono PCM at
# 22,050 Hz) into data/sounds/, or into the folder given. The files are kept in the source
# tree; run this again only to change a tone.
use strict;
use warnings;

my $rate = 22050;
my $folder = $ARGV[0] // "data/sounds";
my $pi = 4 * atan2(1, 1);

# Samples of notes played one after the other: each [frequency Hz, seconds, loudness 0-1],
# a frequency of 0 a rest. Each note fades in and out over 5 ms so it starts and ends without
# a click; a loudness below 0 makes the note die away.
sub tones {
    my @samples;
    for my $note (@_) {
        my ($frequency, $seconds, $loudness) = @$note;
        my $count = int($seconds * $rate);
        my $fade = int(0.005 * $rate);
        for my $i (0 .. $count - 1) {
            my $envelope = 1.0;
            $envelope = $i / $fade if $i < $fade;
            $envelope = ($count - 1 - $i) / $fade if $count - 1 - $i < $fade;
            $envelope *= exp(-4.0 * $i / $count) if $loudness < 0;
            my $value = $frequency > 0
                ? abs($loudness) * $envelope * sin(2 * $pi * $frequency * $i / $rate) : 0;
            push @samples, int(32767 * $value);
        }
    }
    return @samples;
}

sub write_wav {
    my ($name, @samples) = @_;
    my $data = pack("s<*", @samples);
    open(my $file, ">:raw", "$folder/$name") or die "$folder/$name: $!\n";
    print $file "RIFF", pack("V", 36 + length $data), "WAVE";
    print $file "fmt ", pack("VvvVVvv", 16, 1, 1, $rate, $rate * 2, 2, 16);
    print $file "data", pack("V", length $data), $data;
    close($file) or die "$folder/$name: $!\n";
}

# Two aircraft too close: three falling pairs of notes, loud.
write_wav("new-conflict.wav",
          tones(([988, 0.11, 0.5], [740, 0.11, 0.5], [0, 0.04, 0]) x 3));
# A chat line: one soft ping that dies away.
write_wav("chat-line.wav", tones([1319, 0.18, -0.35]));
# A pilot joined: two rising notes.
write_wav("pilot-joined.wav", tones([523, 0.1, 0.3], [784, 0.16, -0.3]));
