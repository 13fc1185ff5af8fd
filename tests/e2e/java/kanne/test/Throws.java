package kanne.test;

/** Its main method ends with an exception. */
public class Throws {
    public static void main(String[] args) {
        throw new IllegalStateException("thrown out of main");
    }
}
