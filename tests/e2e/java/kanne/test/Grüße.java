package kanne.test;

/** A class whose name is not ASCII. */
public class Grüße {
    public static void main(String[] args) throws Exception {
        java.nio.file.Files.writeString(java.nio.file.Path.of("gruesse.txt"), "found");
    }
}
